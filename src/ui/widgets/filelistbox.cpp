#include "ui/widgets/filelistbox.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>

namespace mtl::ui {

namespace {

QStringList splitMask(const QString& mask)
{
    QStringList patterns;
    for (const QString& part : mask.split(u';', Qt::SkipEmptyParts)) {
        const QString pattern = part.trimmed();
        if (pattern.isEmpty()) continue;
        // "*.*" means every file, also those without a dot in their name.
        patterns.append(pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
    }
    if (patterns.isEmpty()) patterns.append(QStringLiteral("*"));
    return patterns;
}

} // namespace

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
}

void FileListBox::setDirectory(const QString& folder)
{
    m_directory = folder;
    refresh();
}

void FileListBox::setMask(const QString& newMask)
{
    m_mask = newMask;
    refresh();
}

void FileListBox::setShowIcons(bool show)
{
    m_showIcons = show;
    refresh();
}

void FileListBox::refresh()
{
    clear();
    if (m_directory.isEmpty()) return;
    QDir folder(m_directory);
    if (!folder.exists()) return;
    folder.setNameFilters(splitMask(m_mask));
    // Hidden and read-only files are listed too; folders and links to folders are not.
    folder.setFilter(QDir::Files | QDir::Hidden | QDir::System);
    folder.setSorting(QDir::Name | QDir::IgnoreCase);
    QFileIconProvider icons;
    for (const QFileInfo& file : folder.entryInfoList()) {
        auto* item = new QListWidgetItem(file.fileName(), this);
        if (m_showIcons) item->setIcon(icons.icon(QFileIconProvider::File));
    }
}

QStringList FileListBox::fileNames() const
{
    QStringList names;
    for (int i = 0; i < count(); ++i)
        names.append(item(i)->text());
    return names;
}

QString FileListBox::filePath(int row) const
{
    const QListWidgetItem* line = item(row);
    if (!line) return {};
    return QDir(m_directory).filePath(line->text());
}

QStringList FileListBox::selectedFilePaths() const
{
    QStringList paths;
    for (int i = 0; i < count(); ++i)
        if (item(i)->isSelected()) paths.append(filePath(i));
    return paths;
}

} // namespace mtl::ui
