#include "ui/platform/qtplatform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QSoundEffect>
#include <QStringList>
#include <QUrl>

namespace mtl::ui {
namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }
std::string s(const QString& text) { return text.toStdString(); }

QWidget* dialogParent() { return QApplication::activeWindow(); }

} // namespace

MessageAnswer QtDialogs::message(const MessageRequest& request)
{
    QMessageBox box(dialogParent());
    box.setWindowTitle(q(request.title));
    box.setText(q(request.text));
    switch (request.icon) {
    case MessageIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MessageIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
    }
    switch (request.buttons) {
    case MessageButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MessageButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MessageButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case MessageButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    case QMessageBox::Cancel: return MessageAnswer::Cancel;
    default: return MessageAnswer::Ok;
    }
}

QString qtFileFilter(const std::string& filter)
{
    const QStringList parts = q(filter).split(u'|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        filters << parts[i] + QStringLiteral(" (") + patterns + u')';
    }
    return filters.join(QStringLiteral(";;"));
}

std::optional<std::string> QtDialogs::openFile(const FileDialogRequest& request)
{
    const QString file = QFileDialog::getOpenFileName(dialogParent(), q(request.title),
                                                      q(request.initialDir + (request.initialDir.empty() ? "" : "/") + request.initialName),
                                                      qtFileFilter(request.filter));
    if (file.isEmpty()) return std::nullopt;
    return s(file);
}

std::optional<std::string> QtDialogs::saveFile(const FileDialogRequest& request)
{
    const QString file = QFileDialog::getSaveFileName(dialogParent(), q(request.title),
                                                      q(request.initialDir + (request.initialDir.empty() ? "" : "/") + request.initialName),
                                                      qtFileFilter(request.filter));
    if (file.isEmpty()) return std::nullopt;
    return s(file);
}

std::optional<std::string> QtDialogs::chooseFolder(const std::string& title, const std::string& startDir)
{
    const QString folder = QFileDialog::getExistingDirectory(dialogParent(), q(title), q(startDir));
    if (folder.isEmpty()) return std::nullopt;
    return s(folder);
}

std::optional<std::string> QtDialogs::input(const std::string& title, const std::string& prompt,
                                            const std::string& initial)
{
    bool ok = false;
    const QString text = QInputDialog::getText(dialogParent(), q(title), q(prompt), QLineEdit::Normal, q(initial), &ok);
    if (!ok) return std::nullopt;
    return s(text);
}

bool QtShell::open(const std::string& target)
{
    const QString text = q(target);
    const QUrl url = text.startsWith(u'/') ? QUrl::fromLocalFile(text) : QUrl(text);
    return QDesktopServices::openUrl(url);
}

bool QtShell::startProgram(const std::string& program, const std::string& parameter)
{
    QStringList arguments;
    if (!parameter.empty()) arguments << q(parameter);
    return QProcess::startDetached(q(program), arguments);
}

bool QtShell::openInTextEditor(const std::string& file)
{
    // The desktop's handler for plain text is its text editor.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(q(file)));
}

QtSounds::QtSounds() = default;
QtSounds::~QtSounds() = default;

void QtSounds::play(const std::string& wavFile)
{
    auto& effect = m_effects[wavFile];
    if (!effect) {
        effect = std::make_unique<QSoundEffect>();
        effect->setSource(QUrl::fromLocalFile(q(wavFile)));
    }
    // A missing file or a machine without sound simply plays nothing.
    effect->play();
}

QtEventPump::QtEventPump(int sliceMs) : m_sliceMs(sliceMs) { m_sinceLast.start(); }

void QtEventPump::processPending()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    m_sinceLast.restart();
}

void QtEventPump::yieldSliced()
{
    if (m_sinceLast.elapsed() < m_sliceMs) return;
    processPending();
}

} // namespace mtl::ui
