// A list of the files of one folder, by name, filtered by a mask list such as
// "*.mtb;*.backup": the archive and log lists of the restore tab and of the restore dialog.
#pragma once

#include <QListWidget>
#include <QStringList>

namespace mtl::ui {

class FileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);

    // Lists the folder at once; a folder that does not exist gives an empty list.
    void setDirectory(const QString& folder);
    QString directory() const { return m_directory; }
    // Masks separated by ';', matched against the file name without regard to letter case.
    void setMask(const QString& mask);
    QString mask() const { return m_mask; }
    void setShowIcons(bool show);
    // Reads the folder again.
    void refresh();

    // File names of the listed files, in list order.
    QStringList fileNames() const;
    // Full path of a listed line (folder + name).
    QString filePath(int row) const;
    // Full paths of the selected lines, in list order.
    QStringList selectedFilePaths() const;

private:
    QString m_directory;
    QString m_mask = QStringLiteral("*.*");
    bool m_showIcons = true;
};

} // namespace mtl::ui
