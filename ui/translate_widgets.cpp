#include "ui/translate_widgets.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTabBar>
#include <QTextEdit>
#include <QVariant>
#include <QWidget>

#include "app/language.h"

namespace fk {
namespace {

// The register lives on the widget itself: a pointer list would mistake a new widget
// that happens to reuse a destroyed one's address for an already translated one.
constexpr const char* kTranslatedProperty = "fk_translated";
constexpr const char* kDataProperty = "fk_data_control";

// The translation to set, or a null string when the caption should stay.
QString TranslatedCaption(const QString& caption) {
    if (caption.isEmpty() || caption == QLatin1String("...")) return {};
    const QString translated = QString::fromStdString(Translate(caption.toStdString()));
    if (translated.isEmpty() || translated == caption) return {};
    return translated;
}

bool HoldsData(const QWidget* w) {
    return w->property(kDataProperty).toBool() || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QTextEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
           qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QProgressBar*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w);
}

// True when it took an item: the caller then does not walk its children.
bool TranslateCaptionOf(QWidget* w) {
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        TranslateComboItems(combo);
        return true;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        if (const QString t = TranslatedCaption(button->text()); !t.isNull()) button->setText(t);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        if (const QString t = TranslatedCaption(label->text()); !t.isNull()) label->setText(t);
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        if (const QString t = TranslatedCaption(group->title()); !t.isNull()) group->setTitle(t);
    } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
        for (int i = 0; i < tabs->count(); ++i) {
            if (const QString t = TranslatedCaption(tabs->tabText(i)); !t.isNull())
                tabs->setTabText(i, t);
        }
    }
    return false;
}

bool MarkVisited(QWidget* w) {
    if (w->property(kTranslatedProperty).toBool()) return false;
    w->setProperty(kTranslatedProperty, true);
    return true;
}

void TranslateChildren(QWidget* parent) {
    for (QObject* object : parent->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        // Windows of their own (dialogs, menus) are translated when they are set up.
        if (child == nullptr || child->isWindow()) continue;
        if (!MarkVisited(child) || HoldsData(child)) continue;
        if (TranslateCaptionOf(child)) continue;
        TranslateChildren(child);
    }
}

}  // namespace

void TranslateWindow(QWidget* window) {
    if (window == nullptr || !MarkVisited(window)) return;
    if (const QString t = TranslatedCaption(window->windowTitle()); !t.isNull())
        window->setWindowTitle(t);
    TranslateChildren(window);
}

void TranslateMenu(QMenu* menu) {
    if (menu == nullptr) return;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) continue;
        if (const QString t = TranslatedCaption(action->text()); !t.isNull()) action->setText(t);
        if (QMenu* sub = action->menu()) TranslateMenu(sub);
    }
}

void TranslateComboItems(QComboBox* combo) {
    if (combo == nullptr) return;
    const int selected = combo->currentIndex();
    const QSignalBlocker quiet(combo);
    for (int i = 0; i < combo->count(); ++i) {
        const QString item = combo->itemText(i);
        const QString translated = QString::fromStdString(Translate(item.toStdString()));
        if (!translated.isEmpty() && translated != item) combo->setItemText(i, translated);
    }
    if (selected >= 0 && selected < combo->count()) combo->setCurrentIndex(selected);
}

void MarkAsDataControl(QWidget* widget) {
    if (widget != nullptr) widget->setProperty(kDataProperty, true);
}

bool IsTranslated(const QWidget* widget) {
    return widget != nullptr && widget->property(kTranslatedProperty).toBool();
}

}  // namespace fk
