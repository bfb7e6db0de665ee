#pragma once

#include "ui/common/TDialog.h"

#include <optional>

class QComboBox;
class QFileSystemModel;
class QFileSystemWatcher;
class FileNames;
class QFrame;
class QLabel;
class QListView;
class QModelIndex;
class QTimer;
class QTreeView;

// The shared picture chooser: drives, folders, the picture files of the folder and a preview. It is
// never reset, so each showing starts in the folder, with the selection and preview, it was left in.
class TChangePicture : public TDialog {
    Q_OBJECT
public:
    explicit TChangePicture(QWidget* parent = nullptr);

    // Shows the chooser modally: the chosen file's full path on OK, nothing on any other way out.
    std::optional<QString> ask();
    // The folder whose files are listed.
    QString folder() const { return m_folder; }

public slots:
    void FormCreate();
    void DriveListChange();
    void DirListClick();
    void FileListClick();
    void FileTypesChange();
    void OKBtnClick();
    void CancelBtnClick();
    void done(int result) override;

protected:
    void build() override;
    void FormActivate() override;

private:
    void showFolder(const QString& path);
    // Lists the folder's files of the kinds shown, keeping the rows of the files already listed.
    void listFiles();
    // The full path of the file listed at `index` (empty for none).
    QString filePath(const QModelIndex& index) const;
    std::optional<QString> m_answer;
    void selectDriveFor(const QString& path);
    QString selectedFile() const;

    QComboBox* m_driveList;
    QTreeView* m_dirList;
    QLabel* m_path;
    QComboBox* m_fileTypes;
    QListView* m_fileList;
    QFrame* m_panel;
    QLabel* m_image;
    QFileSystemModel* m_dirs;
    FileNames* m_files;          // the files of m_folder, one row each, by name
    QFileSystemWatcher* m_watch; // on m_folder
    QTimer* m_relist;            // lists the files again after the folder changed
    QString m_folder;
    bool m_reveal = false;        // scroll the folder tree to the chosen folder as it is read
    QString m_chosen;             // the path of the file last chosen in the list
    bool m_filesChanging = false; // the list is being made again: its current row is not a choice
};

// The one TChangePicture, created at start-up (null before and after).
extern TChangePicture* ChangePicture;
