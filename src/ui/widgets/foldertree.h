// The folder tree of the left column (`DhCheckFolder1`): the folders of the file system from
// "/" down, folders only, the selected folder expanded. The selected folder is the path the
// next scan walks, so the tree reports every change of the selection with the full path.
#pragma once

#include <QString>
#include <QTreeView>

class QFileSystemModel;

namespace mtl::ui {

class FolderTree : public QTreeView {
    Q_OBJECT
public:
    explicit FolderTree(QWidget* parent = nullptr);

    // Full path of the selected folder ("/" for the root); empty when nothing is selected.
    QString selectedPath() const;
    // Selects a folder and shows it; returns false when the folder does not exist.
    bool setSelectedPath(const QString& path);

signals:
    void folderChanged(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void onCurrentChanged(const QModelIndex& current);

    QFileSystemModel* m_model;  // owned by this view
    QString m_lastReported;
};

} // namespace mtl::ui
