// Checks what a window shows a reader, offscreen: every text on a visible label, button,
// group box, menu or action is translated, and every label, button and group box title
// shows its whole text in the room the layout gives it. Run under the pseudo-translation
// (KX5170_PSEUDO_LOCALE), where a translated text is bracketed and 40 % longer than the
// English, an untranslated one stands out and a layout that only fits English is caught.
#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QWidget>

#include <QtMath>

#include <climits>
#include <functional>

namespace kx::test {

struct TextProblem {
    enum Kind { Untranslated, Clipped };
    Kind What;
    QString Where;  // the object's path from the top widget, by object name or class
    QString Text;   // as shown
    QString Detail; // for a clipped text: what it needs and what it has
};

// A text as shown: "&Write" shows "Write", "&&" shows "&".
inline QString WithoutMnemonics(const QString& text)
{
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        shown += text[i];
    }
    return shown;
}

// Translated under the pseudo-translation: no letter outside brackets. A text the
// program composes from translated parts ("[Ŵŕîţé ~~] [ŕéšéţ ~]"), or fills with numbers
// ("[Ŕöţåţîöñ: %1 ~~]" with 900), passes; data the program shows as it is (a board's
// name, a file's) must be left out of the check by the caller.
inline bool IsPseudoTranslated(const QString& shown)
{
    int depth = 0;
    for (const QChar c : shown) {
        if (c == u'[')
            ++depth;
        else if (c == u']' && depth > 0)
            --depth;
        else if (depth == 0 && c.isLetter())
            return false;
    }
    return true;
}

struct TextCheck {
    // Whether a text as shown is translated; under German, for instance, that it is
    // not one of the English texts.
    std::function<bool(const QString&)> IsTranslated = IsPseudoTranslated;
    // Widgets and actions whose text is data, not the program's words: never
    // "untranslated", though still measured.
    QSet<const QObject*> Data;
    bool CheckTranslation = true;
    bool CheckFit = true;
};

namespace detail {

inline QString PathOf(const QObject* object, const QObject* top)
{
    QStringList parts;
    for (const QObject* o = object; o; o = o->parent()) {
        parts.prepend(o->objectName().isEmpty() ? QString::fromLatin1(o->metaObject()->className())
                                                : QString::fromLatin1(o->metaObject()->className()) + u'#' + o->objectName());
        if (o == top)
            break;
    }
    return parts.join(u'/');
}

// A button of a button box that shows Qt's own text for its role: Qt's catalogue
// translates it, not the program's.
inline bool ShowsQtsOwnText(const QAbstractButton* button)
{
    for (const QObject* o = button->parent(); o; o = o->parent()) {
        const auto* box = qobject_cast<const QDialogButtonBox*>(o);
        if (!box)
            continue;
        const QDialogButtonBox::StandardButton role = box->standardButton(const_cast<QAbstractButton*>(button));
        if (role == QDialogButtonBox::NoButton)
            return false;
        QDialogButtonBox fresh(role);
        return fresh.buttons().value(0) && fresh.buttons().value(0)->text() == button->text();
    }
    return false;
}

inline bool IsRichText(const QLabel* label)
{
    return label->textFormat() == Qt::RichText ||
           (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
}

inline QString ShownText(const QLabel* label)
{
    if (IsRichText(label))
        return QTextDocumentFragment::fromHtml(label->text()).toPlainText();
    return label->buddy() ? WithoutMnemonics(label->text()) : label->text();
}

// What a label's text needs against what it has, or empty when it fits.
inline QString LabelShortfall(const QLabel* label)
{
    QRect room = label->contentsRect();
    const int margin = label->margin();
    room.adjust(margin, margin, -margin, -margin);
    if (label->indent() > 0)
        room.setWidth(room.width() - label->indent());
    QSize needed;
    if (IsRichText(label)) {
        QTextDocument document;
        document.setDefaultFont(label->font());
        document.setDocumentMargin(0);
        document.setHtml(label->text());
        document.setTextWidth(label->wordWrap() ? room.width() : -1);
        needed = document.size().toSize();
        if (label->wordWrap())
            needed.setWidth(qCeil(document.idealWidth()) > room.width() ? qCeil(document.idealWidth()) : 0);
    } else {
        const QFontMetrics metrics(label->font());
        const QString text = ShownText(label);
        if (label->wordWrap())
            needed = metrics.boundingRect(QRect(0, 0, room.width(), INT_MAX), Qt::TextWordWrap | Qt::AlignLeft, text).size();
        else
            needed = metrics.size(0, text);
    }
    if (needed.width() <= room.width() && needed.height() <= room.height())
        return {};
    return QStringLiteral("needs %1x%2, has %3x%4")
        .arg(needed.width()).arg(needed.height()).arg(room.width()).arg(room.height());
}

inline QString ButtonShortfall(const QAbstractButton* button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(button))
        contents = QStyle::SE_CheckBoxContents;
    else if (qobject_cast<const QRadioButton*>(button))
        contents = QStyle::SE_RadioButtonContents;
    else if (!qobject_cast<const QPushButton*>(button))
        return {};
    const QRect room = button->style()->subElementRect(contents, &option, button);
    int needed = button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width();
    if (!button->icon().isNull())
        needed += button->iconSize().width() + 4;
    if (needed <= room.width())
        return {};
    return QStringLiteral("needs %1 wide, has %2").arg(needed).arg(room.width());
}

inline QString GroupBoxShortfall(const QGroupBox* box)
{
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.lineWidth = 1;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (box->isCheckable())
        option.subControls |= QStyle::SC_GroupBoxCheckBox;
    const QRect title = box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    if (box->rect().contains(title))
        return {};
    return QStringLiteral("title needs %1..%2, box is %3 wide").arg(title.left()).arg(title.right()).arg(box->width());
}

}  // namespace detail

// Every problem in what `top` and its visible children show, in the order found.
inline QList<TextProblem> CheckTexts(const QWidget* top, const TextCheck& check = {})
{
    QList<TextProblem> problems;
    auto translation = [&](const QObject* object, const QString& shown) {
        if (check.CheckTranslation && !shown.trimmed().isEmpty() && !check.Data.contains(object) &&
            !check.IsTranslated(shown))
            problems.append({TextProblem::Untranslated, detail::PathOf(object, top), shown, {}});
    };
    auto fit = [&](const QObject* object, const QString& shown, const QString& shortfall) {
        if (check.CheckFit && !shortfall.isEmpty())
            problems.append({TextProblem::Clipped, detail::PathOf(object, top), shown, shortfall});
    };

    QList<const QWidget*> widgets{top};
    for (const QWidget* child : top->findChildren<QWidget*>())
        widgets.append(child);
    QSet<const QAction*> actions;
    for (const QWidget* widget : widgets) {
        for (const QAction* action : widget->actions())
            actions.insert(action);
        if (!widget->isVisible())
            continue;
        if (const auto* label = qobject_cast<const QLabel*>(widget); label && !label->text().isEmpty()) {
            translation(label, detail::ShownText(label));
            fit(label, detail::ShownText(label), detail::LabelShortfall(label));
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget); button && !button->text().isEmpty()) {
            if (!detail::ShowsQtsOwnText(button))
                translation(button, WithoutMnemonics(button->text()));
            fit(button, WithoutMnemonics(button->text()), detail::ButtonShortfall(button));
        } else if (const auto* box = qobject_cast<const QGroupBox*>(widget); box && !box->title().isEmpty()) {
            translation(box, WithoutMnemonics(box->title()));
            fit(box, WithoutMnemonics(box->title()), detail::GroupBoxShortfall(box));
        }
    }
    // Menus are hidden until opened: their titles (their menu actions) and entries are
    // checked all the same.
    for (const QMenu* menu : top->findChildren<QMenu*>())
        for (const QAction* action : menu->actions())
            actions.insert(action);
    for (const QAction* action : actions)
        if (action->isVisible() && !action->isSeparator())
            translation(action, WithoutMnemonics(action->text()));
    return problems;
}

// One problem a line, for a failing test's message.
inline QString Describe(const QList<TextProblem>& problems)
{
    QStringList lines;
    for (const TextProblem& problem : problems)
        lines.append((problem.What == TextProblem::Untranslated ? QStringLiteral("untranslated: ")
                                                                : QStringLiteral("clipped (%1): ").arg(problem.Detail)) +
                     problem.Where + QStringLiteral(": \"") + problem.Text + u'"');
    return lines.join(u'\n');
}

}  // namespace kx::test
