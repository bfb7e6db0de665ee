#include "support/SyncthingPair.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTest>
#include <QUrlQuery>

#include <signal.h>
#include <sys/prctl.h>

namespace {
const QString kFolderId = QStringLiteral("tinyra-book");

// Ports nobody listens on now, each different. Another program may take one before syncthing
// does; start() then tries again with others.
QVector<quint16> freePorts(int count) {
    QVector<std::shared_ptr<QTcpServer>> held;
    QVector<quint16> ports;
    while (ports.size() < count) {
        auto server = std::make_shared<QTcpServer>();
        if (!server->listen(QHostAddress::LocalHost, 0))
            break;
        ports << server->serverPort();
        held << server;
    }
    return ports;
}

QString randomKey() {
    QString key;
    for (int i = 0; i < 32; ++i)
        key += QLatin1Char("abcdefghijkmnopqrstuvwxyz23456789"[QRandomGenerator::global()->bounded(33)]);
    return key;
}

QString lastLines(const QString& file, int lines) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    const QStringList all = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return all.mid(qMax(0, int(all.size()) - lines)).join(QLatin1Char('\n'));
}

qint64 number(const QJsonObject& o, const char* key) {
    return qint64(o.value(QLatin1String(key)).toDouble(-1));
}
} // namespace

SyncthingPair::SyncthingPair() : m_network(std::make_unique<QNetworkAccessManager>()) {
    // The instances are on this machine: no proxy of the environment stands between.
    m_network->setProxy(QNetworkProxy::NoProxy);
}

SyncthingPair::~SyncthingPair() {
    stop();
}

QString SyncthingPair::program() {
    return QStandardPaths::findExecutable(QStringLiteral("syncthing"));
}

QString SyncthingPair::folder(int side) const {
    return m_side[size_t(side)].folder;
}

bool SyncthingPair::generate(Instance& instance, const QString& name, QString* why) {
    instance.home = m_dir.filePath(name + QStringLiteral("-home"));
    instance.folder = m_dir.filePath(name + QStringLiteral("-folder"));
    instance.apiKey = randomKey();
    // The folder marker syncthing looks for before it touches a folder.
    if (!QDir().mkpath(instance.folder + QStringLiteral("/.stfolder"))) {
        *why = QStringLiteral("cannot make ") + instance.folder;
        return false;
    }
    QProcess generate;
    generate.setProcessChannelMode(QProcess::MergedChannels);
    generate.start(program(), {QStringLiteral("generate"), QStringLiteral("--home=") + instance.home,
                               QStringLiteral("--no-default-folder"), QStringLiteral("--skip-port-probing")});
    if (!generate.waitForFinished(30000) || generate.exitCode() != 0) {
        *why = QStringLiteral("syncthing generate failed: ") + QString::fromUtf8(generate.readAll());
        generate.kill();
        generate.waitForFinished();
        return false;
    }
    const QString said = QString::fromUtf8(generate.readAll());
    const QRegularExpressionMatch id =
        QRegularExpression(QStringLiteral("Device ID: *([A-Z0-9]{7}(-[A-Z0-9]{7}){7})")).match(said);
    if (!id.hasMatch()) {
        *why = QStringLiteral("syncthing generate named no device: ") + said;
        return false;
    }
    instance.deviceId = id.captured(1);
    return true;
}

// The whole configuration, written over the one generate made: only what differs from syncthing's
// defaults is named, and every default that would reach past this machine is turned off.
bool SyncthingPair::writeConfig(int side, QString* why) const {
    const Instance& self = m_side[size_t(side)];
    const Instance& other = m_side[size_t(1 - side)];
    auto device = [](const Instance& i, const QString& name) {
        return QStringLiteral(
                   "    <device id=\"%1\" name=\"%2\" compression=\"metadata\" introducer=\"false\">\n"
                   "        <address>tcp://127.0.0.1:%3</address>\n"
                   "        <autoAcceptFolders>false</autoAcceptFolders>\n"
                   "    </device>\n")
            .arg(i.deviceId, name)
            .arg(i.syncPort);
    };
    const QString xml =
        QStringLiteral("<configuration version=\"36\">\n"
                       "    <folder id=\"%1\" label=\"Tinyra\" path=\"%2\" type=\"sendreceive\" "
                       "rescanIntervalS=\"5\" fsWatcherEnabled=\"true\" fsWatcherDelayS=\"1\" "
                       "ignorePerms=\"false\" autoNormalize=\"true\">\n"
                       "        <filesystemType>basic</filesystemType>\n"
                       "        <device id=\"%3\"></device>\n"
                       "        <device id=\"%4\"></device>\n"
                       "        <minDiskFree unit=\"%\">0</minDiskFree>\n"
                       "        <markerName>.stfolder</markerName>\n"
                       "    </folder>\n")
            .arg(kFolderId, self.folder.toHtmlEscaped(), self.deviceId, other.deviceId) +
        device(self, side == 0 ? QStringLiteral("one") : QStringLiteral("two")) +
        device(other, side == 0 ? QStringLiteral("two") : QStringLiteral("one")) +
        QStringLiteral("    <gui enabled=\"true\" tls=\"false\" debugging=\"false\">\n"
                       "        <address>127.0.0.1:%1</address>\n"
                       "        <apikey>%2</apikey>\n"
                       "    </gui>\n"
                       "    <options>\n"
                       "        <listenAddress>tcp://127.0.0.1:%3</listenAddress>\n"
                       "        <globalAnnounceEnabled>false</globalAnnounceEnabled>\n"
                       "        <localAnnounceEnabled>false</localAnnounceEnabled>\n"
                       "        <relaysEnabled>false</relaysEnabled>\n"
                       "        <natEnabled>false</natEnabled>\n"
                       "        <stunKeepaliveStartS>0</stunKeepaliveStartS>\n"
                       "        <announceLANAddresses>false</announceLANAddresses>\n"
                       "        <urAccepted>-1</urAccepted>\n"
                       "        <urSeen>3</urSeen>\n"
                       "        <autoUpgradeIntervalH>0</autoUpgradeIntervalH>\n"
                       "        <crashReportingEnabled>false</crashReportingEnabled>\n"
                       "        <startBrowser>false</startBrowser>\n"
                       "        <restartOnWakeup>false</restartOnWakeup>\n"
                       "        <setLowPriority>false</setLowPriority>\n"
                       "        <reconnectionIntervalS>1</reconnectionIntervalS>\n"
                       "    </options>\n"
                       "</configuration>\n")
            .arg(self.guiPort)
            .arg(self.apiKey)
            .arg(self.syncPort);
    QFile f(self.home + QStringLiteral("/config.xml"));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(xml.toUtf8()) < 0 || !f.flush()) {
        *why = QStringLiteral("cannot write ") + f.fileName();
        return false;
    }
    return true;
}

bool SyncthingPair::launch(int side, QString* why) {
    Instance& self = m_side[size_t(side)];
    self.process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* proxy : {"http_proxy", "https_proxy", "all_proxy", "no_proxy", "HTTP_PROXY",
                              "HTTPS_PROXY", "ALL_PROXY", "NO_PROXY"})
        env.remove(QString::fromLatin1(proxy));
    env.insert(QStringLiteral("STNOUPGRADE"), QStringLiteral("1"));
    env.insert(QStringLiteral("STNORESTART"), QStringLiteral("1"));
    env.insert(QStringLiteral("STNODEFAULTFOLDER"), QStringLiteral("1"));
    env.insert(QStringLiteral("HOME"), self.home);
    self.process->setProcessEnvironment(env);
    self.process->setStandardOutputFile(QProcess::nullDevice());
    self.process->setStandardErrorFile(QProcess::nullDevice());
    // Killed with this test program, should it end without stopping them (a crash, a time-out).
    self.process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    self.process->start(program(),
                        {QStringLiteral("serve"), QStringLiteral("--home=") + self.home,
                         QStringLiteral("--no-browser"), QStringLiteral("--no-restart"),
                         QStringLiteral("--no-upgrade"),
                         QStringLiteral("--logfile=") + self.home + QStringLiteral("/syncthing.log")});
    if (!self.process->waitForStarted(10000)) {
        *why = QStringLiteral("syncthing did not start: ") + self.process->errorString();
        return false;
    }
    return true;
}

bool SyncthingPair::call(int side, const QString& path, bool post, QJsonObject* answer, QString* why,
                         int limitMs) {
    const Instance& self = m_side[size_t(side)];
    QUrl url(
        QStringLiteral("http://127.0.0.1:%1%2").arg(self.guiPort).arg(path.section(QLatin1Char('?'), 0, 0)));
    url.setQuery(path.section(QLatin1Char('?'), 1));
    QNetworkRequest request(url);
    request.setRawHeader("X-API-Key", self.apiKey.toUtf8());
    request.setTransferTimeout(limitMs);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    std::unique_ptr<QNetworkReply> reply(post ? m_network->post(request, QByteArray())
                                              : m_network->get(request));
    if (!QTest::qWaitFor([&] { return reply->isFinished(); }, limitMs + 1000))
        reply->abort();
    if (reply->error() != QNetworkReply::NoError) {
        *why = path + QStringLiteral(": ") + reply->errorString();
        return false;
    }
    const QByteArray body = reply->readAll();
    *answer = QJsonDocument::fromJson(body).object();
    return true;
}

bool SyncthingPair::connected(int side) {
    QJsonObject answer;
    QString why;
    return call(side, QStringLiteral("/rest/system/connections"), false, &answer, &why) &&
           answer.value(QLatin1String("connections"))
               .toObject()
               .value(m_side[size_t(1 - side)].deviceId)
               .toObject()
               .value(QLatin1String("connected"))
               .toBool();
}

bool SyncthingPair::start(QString* why, int limitMs) {
    if (program().isEmpty()) {
        *why = QStringLiteral("syncthing is not installed");
        return false;
    }
    if (!m_dir.isValid()) {
        *why = QStringLiteral("no temporary folder");
        return false;
    }
    if (!generate(m_side[0], QStringLiteral("one"), why) || !generate(m_side[1], QStringLiteral("two"), why))
        return false;
    QElapsedTimer clock;
    clock.start();
    for (int attempt = 0; attempt < 3; ++attempt) {
        stop();
        const QVector<quint16> ports = freePorts(4);
        if (ports.size() < 4) {
            *why = QStringLiteral("no free ports on 127.0.0.1");
            return false;
        }
        for (int side = 0; side < 2; ++side) {
            m_side[size_t(side)].syncPort = ports[side * 2];
            m_side[size_t(side)].guiPort = ports[side * 2 + 1];
        }
        if (!writeConfig(0, why) || !writeConfig(1, why) || !launch(0, why) || !launch(1, why))
            return false;
        // Both answer, then both see the other connected. One that ends meanwhile most likely found
        // a port taken after all: then again, with other ports.
        auto running = [&] {
            return m_side[0].process->state() == QProcess::Running &&
                   m_side[1].process->state() == QProcess::Running;
        };
        const bool up = QTest::qWaitFor(
            [&] {
                QJsonObject pong;
                QString ignored;
                return !running() ||
                       (call(0, QStringLiteral("/rest/system/ping"), false, &pong, &ignored, 2000) &&
                        call(1, QStringLiteral("/rest/system/ping"), false, &pong, &ignored, 2000));
            },
            int(qMax<qint64>(1000, limitMs - clock.elapsed())));
        if (up && running() &&
            QTest::qWaitFor([&] { return !running() || (connected(0) && connected(1)); },
                            int(qMax<qint64>(1000, limitMs - clock.elapsed()))) &&
            running())
            return true;
        const int dead = m_side[0].process->state() != QProcess::Running ? 0 : 1;
        *why = QStringLiteral("the two syncthing instances were not connected within %1 s; the log of "
                              "instance %2 ends:\n%3")
                   .arg(limitMs / 1000)
                   .arg(dead)
                   .arg(lastLines(m_side[size_t(dead)].home + QStringLiteral("/syncthing.log"), 15));
        if (running() || clock.elapsed() >= limitMs)
            break;
    }
    stop();
    return false;
}

// Everything the other has is here and everything here is there, as this instance sees it.
bool SyncthingPair::caughtUp(int side, QJsonObject* status, QString* why) {
    const QString other = m_side[size_t(1 - side)].deviceId;
    QJsonObject completion;
    if (!call(side, QStringLiteral("/rest/db/status?folder=") + kFolderId, false, status, why) ||
        !call(side, QStringLiteral("/rest/db/completion?folder=%1&device=%2").arg(kFolderId, other), false,
              &completion, why))
        return false;
    const QString state = status->value(QLatin1String("state")).toString();
    *why = QStringLiteral("instance %1: %2, needs %3 items, sees the other %4% complete")
               .arg(side)
               .arg(state)
               .arg(number(*status, "needTotalItems"))
               .arg(completion.value(QLatin1String("completion")).toDouble());
    return state == QLatin1String("idle") && number(*status, "needTotalItems") == 0 &&
           completion.value(QLatin1String("completion")).toDouble() == 100.0 &&
           number(completion, "needItems") == 0 && number(completion, "needDeletes") == 0;
}

bool SyncthingPair::waitInStep(QString* why, int limitMs) {
    for (int side = 0; side < 2; ++side) {
        QJsonObject ignored;
        // Answers once the scan is done.
        if (!call(side, QStringLiteral("/rest/db/scan?folder=") + kFolderId, true, &ignored, why, limitMs))
            return false;
    }
    const bool inStep = QTest::qWaitFor(
        [&] {
            QJsonObject one, two;
            QString whyOne, whyTwo;
            const bool both = caughtUp(0, &one, &whyOne) & caughtUp(1, &two, &whyTwo);
            *why = whyOne + QStringLiteral("; ") + whyTwo;
            if (!both)
                return false;
            for (const char* key : {"globalFiles", "globalDirectories", "globalBytes", "localFiles",
                                    "localDirectories", "localBytes"})
                if (number(one, key) != number(two, key)) {
                    *why = QStringLiteral("the two differ in %1").arg(QLatin1String(key));
                    return false;
                }
            return number(one, "localFiles") == number(one, "globalFiles") &&
                   number(one, "localBytes") == number(one, "globalBytes");
        },
        limitMs);
    if (!inStep)
        *why =
            QStringLiteral("the two folders were not in step within %1 s: %2").arg(limitMs / 1000).arg(*why);
    return inStep;
}

void SyncthingPair::stop() {
    for (int side = 0; side < 2; ++side) {
        Instance& self = m_side[size_t(side)];
        if (!self.process)
            continue;
        if (self.process->state() == QProcess::Running) {
            QJsonObject ignored;
            QString why;
            call(side, QStringLiteral("/rest/system/shutdown"), true, &ignored, &why, 5000);
        }
    }
    for (Instance& self : m_side) {
        if (!self.process)
            continue;
        if (self.process->state() != QProcess::NotRunning && !self.process->waitForFinished(10000)) {
            self.process->kill();
            self.process->waitForFinished(10000);
        }
        self.process.reset();
    }
}
