#include "ui/app/formstate.h"

#include "core/common/textcodec.h"
#include "core/filters/scanmodes.h"
#include "ui/app/searchform.h"
#include "ui/widgets/checklistbox.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLabel>
#include <QPalette>
#include <QRadioButton>
#include <QTreeWidget>

namespace mtl::ui {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

} // namespace

QString qs(std::string_view bytes)
{
    QString text;
    text.reserve(qsizetype(bytes.size()));
    std::size_t runStart = 0;
    std::size_t pos = 0;
    auto flush = [&] {
        if (pos > runStart) text += QString::fromUtf8(bytes.data() + runStart, qsizetype(pos - runStart));
    };
    while (pos < bytes.size()) {
        if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
            ++pos;
            continue;
        }
        const std::size_t len = utf8SequenceLength(bytes, pos);
        if (len > 0) {
            pos += len;
            continue;
        }
        flush();
        text += QChar(char16_t(kEscapeBase + static_cast<unsigned char>(bytes[pos])));
        runStart = ++pos;
    }
    flush();
    return text;
}

std::string toBytes(const QString& text)
{
    std::string bytes;
    bytes.reserve(std::size_t(text.size()));
    qsizetype runStart = 0;
    auto flush = [&](qsizetype end) {
        if (end > runStart) bytes += text.mid(runStart, end - runStart).toStdString();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        // A lone low surrogate in 0xDC80..0xDCFF is an escaped byte; a real character outside
        // the basic plane is a high surrogate followed by a low one and is left alone.
        const bool paired = i > 0 && QChar::isHighSurrogate(text[i - 1].unicode());
        if (unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF && !paired) {
            flush(i);
            bytes += char(unit - kEscapeBase);
            runStart = i + 1;
        }
    }
    flush(text.size());
    return bytes;
}

QStringList toQStringList(const std::vector<std::string>& lines)
{
    QStringList list;
    list.reserve(qsizetype(lines.size()));
    for (const auto& line : lines) list.append(qs(line));
    return list;
}

std::vector<std::string> toStdStrings(const QStringList& lines)
{
    std::vector<std::string> result;
    result.reserve(std::size_t(lines.size()));
    for (const auto& line : lines) result.push_back(toBytes(line));
    return result;
}

QRadioButton* modeButton(TSearchForm& form, const ScanMode& mode)
{
    return form.findChild<QRadioButton*>(QString::fromUtf8(mode.radioButton.data(), qsizetype(mode.radioButton.size())));
}

void uncheckRadio(QRadioButton* button)
{
    if (!button->isChecked()) return;
    if (QButtonGroup* group = button->group()) {
        const bool exclusive = group->exclusive();
        group->setExclusive(false);
        button->setChecked(false);
        group->setExclusive(exclusive);
    } else {
        const bool autoExclusive = button->autoExclusive();
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(autoExclusive);
    }
}

QLabel* makeWrappedLabel(QWidget* parent, const QString& text, const QRect& geometry)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(geometry);
    return label;
}

void setTextColor(QWidget* control, const QColor& color)
{
    QPalette colours = control->palette();
    colours.setColor(QPalette::WindowText, color);
    colours.setColor(QPalette::Text, color);
    colours.setColor(QPalette::ButtonText, color);
    control->setPalette(colours);
}

void setHintDuration(QWidget& window, int milliseconds)
{
    window.setToolTipDuration(milliseconds);
    for (QWidget* child : window.findChildren<QWidget*>()) child->setToolTipDuration(milliseconds);
}

void clearWorkingLists(TSearchForm& form)
{
    for (CheckListBox* list : {form.ListBox1, form.ListBoxFiltry, form.ListaIgnorowania, form.ListBoxIgnorujTypy}) {
        list->clearLines();
    }
    form.ListView->clear();
    for (QStringList* hidden : {&form.ListBoxRozmiar, &form.ListBoxLiczbaZnalez, &form.ListBoxDodajPodejrzane,
                                &form.ListaPorownana, &form.ListBox2, &form.ListBox3, &form.ListBox4,
                                &form.ListBoxUsuniete, &form.ListBoxLiczbaUsunietych, &form.ListBoxLOG,
                                &form.ListBoxPomocniczy, &form.ListBoxKodHTML, &form.ListBoxPomocniczyHTML}) {
        hidden->clear();
    }
}

} // namespace mtl::ui
