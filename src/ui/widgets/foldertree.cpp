#include "ui/widgets/foldertree.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>

namespace mtl::ui {

FolderTree::FolderTree(QWidget* parent) : QTreeView(parent), m_model(new QFileSystemModel(this))
{
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    // Links are not followed into by the walk, so the tree does not resolve them either.
    m_model->setResolveSymlinks(false);
    m_model->setRootPath(QStringLiteral("/"));
    setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        hideColumn(column);
    header()->hide();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformRowHeights(true);
    setAnimated(false);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) { onCurrentChanged(current); });
}

QString FolderTree::selectedPath() const
{
    const QModelIndex current = currentIndex();
    if (!current.isValid()) return {};
    return m_model->filePath(current);
}

bool FolderTree::setSelectedPath(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isDir()) return false;
    const QModelIndex index = m_model->index(QDir::cleanPath(info.absoluteFilePath()));
    if (!index.isValid()) return false;
    setCurrentIndex(index);
    scrollTo(index, QAbstractItemView::PositionAtCenter);
    return true;
}

void FolderTree::showEvent(QShowEvent* event)
{
    QTreeView::showEvent(event);
    // A folder selected before the tree had its size is brought into view once it shows.
    if (currentIndex().isValid()) scrollTo(currentIndex(), QAbstractItemView::PositionAtCenter);
}

void FolderTree::onCurrentChanged(const QModelIndex& current)
{
    if (!current.isValid()) return;
    // The selected folder opens, so its subfolders can be picked next.
    expand(current);
    const QString path = m_model->filePath(current);
    if (path == m_lastReported) return;
    m_lastReported = path;
    emit folderChanged(path);
}

} // namespace mtl::ui
