#pragma once

#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <array>
#include <memory>

class QNetworkAccessManager;

// Two real Syncthing instances on this machine keeping one folder in step between them, as two
// computers of a family would. Each has a home of its own (keys, configuration, database) and a
// folder of its own; everything they say goes over 127.0.0.1: no discovery, relays, NAT traversal,
// usage or crash reports, and no upgrades. Both are stopped, and nothing of them is left running,
// when the object goes (also when a test fails half-way).
class SyncthingPair {
public:
    SyncthingPair();
    ~SyncthingPair();
    SyncthingPair(const SyncthingPair&) = delete;
    SyncthingPair& operator=(const SyncthingPair&) = delete;

    // The syncthing program, or an empty text where it is not installed.
    static QString program();

    // Makes both homes, starts both instances and waits until they are connected to each other.
    // False, with the reason in `why`, when syncthing is missing or they are not connected within
    // `limitMs`.
    bool start(QString* why, int limitMs = 30000);
    // The folder of instance 0 or 1, which the other keeps in step.
    QString folder(int side) const;
    // Has both scan their folder now and waits until each has everything the other has: both idle,
    // needing nothing, each seeing the other complete and both agreeing on the folder's contents.
    // False, with the reason in `why`, when that is not so within `limitMs`.
    bool waitInStep(QString* why, int limitMs = 60000);
    // Shuts both down through their REST interface, then kills either that lingers.
    void stop();

private:
    struct Instance {
        QString home, folder, deviceId, apiKey;
        quint16 syncPort = 0, guiPort = 0;
        std::unique_ptr<QProcess> process;
    };
    bool generate(Instance& instance, const QString& name, QString* why);
    bool writeConfig(int side, QString* why) const;
    bool launch(int side, QString* why);
    // One REST call: GET, or POST when `post`; the answer's JSON object, or nothing with the reason.
    bool call(int side, const QString& path, bool post, QJsonObject* answer, QString* why,
              int limitMs = 20000);
    bool connected(int side);
    bool caughtUp(int side, QJsonObject* status, QString* why);

    QTemporaryDir m_dir;
    std::array<Instance, 2> m_side;
    std::unique_ptr<QNetworkAccessManager> m_network;
};
