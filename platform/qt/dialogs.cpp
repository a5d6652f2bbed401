// The game's modal dialogs, built from the templates in resources/dialogs.h: dialog units become
// pixels through the dialog font's base units, each control kind becomes its widget, and the
// dialog procedure hears WM_INITDIALOG, WM_PAINT and WM_COMMAND (Enter = the default button,
// Escape = IDCANCEL, which does not close the dialog by itself; there is no close box).
#include <QDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include "platform/qt/qtwindows.h"
#include "resources/dialogs.h"

namespace platform::qt {
namespace {

// An empty static control that shows a solid colour once FillDlgItem has given it one.
class Swatch : public QWidget {
public:
    using QWidget::QWidget;
    void Fill(const QColor& colour) {
        colour_ = colour;
        repaint();   // at once, as the colours dialog expects
    }
    QColor colour() const { return colour_; }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!colour_.isValid()) return;
        QPainter(this).fillRect(rect(), colour_);
    }

private:
    QColor colour_;
};

class GameDialog : public QDialog {
public:
    GameDialog(const DialogTemplate& tmpl, QWidget* parent, DialogProc proc)
        : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), proc_(proc) {
        handle.widget = this;
        setWindowTitle(FromGame(tmpl.caption));
        setModal(true);
        Build(tmpl);
        ActivateWhenShown(this);
    }

    intptr_t Send(uint32_t message, uintptr_t wParam, intptr_t lParam) {
        return proc_(&handle, message, wParam, lParam);
    }
    void Command(int id) {
        if (!ended) Send(WM_COMMAND, static_cast<uintptr_t>(id), 0);
    }
    // The first control that takes the focus, as the dialog manager picks it (an edit's text
    // comes selected, so typing replaces it).
    void FocusFirstControl() {
        for (QWidget* widget : order_) {
            if (widget->focusPolicy() == Qt::NoFocus) continue;
            widget->setFocus(Qt::TabFocusReason);
            if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->selectAll();
            return;
        }
    }

    WindowObject handle{WindowObject::Dialog, nullptr};
    std::map<int, QWidget*> controls;
    bool ended = false;
    intptr_t result = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape) {
            Command(IDCANCEL);
            return;
        }
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            // A focused push button is the one Enter presses; otherwise the default button.
            if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
                button->click();
            else if (defaultButton_)
                defaultButton_->click();
            return;
        }
        QDialog::keyPressEvent(event);
    }
    // Only an ending requested from outside rejects a game dialog: it ends as cancelled, and
    // its procedure hears nothing more.
    void reject() override {
        ended = true;
        result = IDCANCEL;
        QDialog::reject();
    }
    void closeEvent(QCloseEvent* event) override {
        // A close request (Alt+F4) is a cancel, left to the procedure like Escape.
        event->ignore();
        Command(IDCANCEL);
    }
    void showEvent(QShowEvent* event) override {
        QDialog::showEvent(event);
        if (!painted_) {
            painted_ = true;
            Send(WM_PAINT, 0, 0);
        }
    }

private:
    void Build(const DialogTemplate& tmpl) {
        const QFontMetrics metrics(font());
        // Base units as the dialog manager measures them from the dialog font.
        int baseX = (metrics.horizontalAdvance(
                               QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 26 + 1) / 2;
        const int baseY = metrics.height();
        // A font wider than the one the templates were drawn for widens the whole dialog, so
        // that every button and one-line text still shows whole.
        for (size_t i = 0; i < tmpl.controlCount; ++i) {
            const ControlTemplate& c = tmpl.controls[i];
            const bool button = c.kind == ControlKind::Button || c.kind == ControlKind::DefaultButton;
            if ((!button && c.kind != ControlKind::Static) || !c.text || c.cx <= 0) continue;
            const int need = metrics.horizontalAdvance(FromGame(c.text)) + (button ? 12 : 2);
            baseX = std::max(baseX, (need * 4 + c.cx - 1) / c.cx);
        }
        auto px = [](int units, int base, int per) { return (units * base + per / 2) / per; };
        auto rect = [&](int x, int y, int cx, int cy) {
            return QRect(px(x, baseX, 4), px(y, baseY, 8), px(cx, baseX, 4), px(cy, baseY, 8));
        };
        setFixedSize(px(tmpl.cx, baseX, 4), px(tmpl.cy, baseY, 8));
        for (size_t i = 0; i < tmpl.controlCount; ++i) {
            const ControlTemplate& c = tmpl.controls[i];
            QWidget* widget = MakeControl(c);
            widget->setGeometry(rect(c.x, c.y, c.cx, c.cy));
            widget->setProperty("controlId", c.id);
            if (c.kind == ControlKind::GroupBox) widget->lower();   // frames stay behind the texts
            if (c.id != -1) controls[c.id] = widget;
            order_.push_back(widget);
        }
    }

    QWidget* MakeControl(const ControlTemplate& c) {
        const QString text = FromGame(c.text);
        switch (c.kind) {
            case ControlKind::Static: {
                auto* label = new QLabel(text, this);
                label->setTextFormat(Qt::PlainText);
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                label->setWordWrap(true);
                return label;
            }
            case ControlKind::Edit: {
                auto* edit = new QLineEdit(text, this);
                return edit;
            }
            case ControlKind::Button:
            case ControlKind::DefaultButton: {
                auto* button = new QPushButton(text, this);
                button->setAutoDefault(false);
                if (c.kind == ControlKind::DefaultButton) {
                    button->setDefault(true);
                    defaultButton_ = button;
                }
                const int id = c.id;
                connect(button, &QPushButton::clicked, this, [this, id] { Command(id); });
                return button;
            }
            case ControlKind::GroupBox:
                return new QGroupBox(text, this);
            case ControlKind::Swatch:
                return new Swatch(this);
        }
        return new QWidget(this);
    }

    DialogProc proc_;
    QPushButton* defaultButton_ = nullptr;
    std::vector<QWidget*> order_;
    bool painted_ = false;
};

// Our fonts run wider than the one the templates were drawn for: a one-line text set at run
// time that no longer fits its static grows to the right, up to the next control on its line,
// the frame around it or the dialog's edge.
void FitLabel(QLabel* label) {
    QWidget* dialog = label->parentWidget();
    const QFontMetrics metrics(label->font());
    const int need = metrics.horizontalAdvance(label->text()) + 2;
    QRect box = label->geometry();
    if (need <= box.width() || box.height() >= 2 * metrics.height()) return;
    int limit = dialog->width() - 2;
    for (QWidget* other : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (other == label || other->isHidden()) continue;
        const QRect r = other->geometry();
        if (qobject_cast<QGroupBox*>(other)) {
            if (r.contains(box.topLeft())) limit = std::min(limit, r.right() - 4);
        } else if (r.left() >= box.right() && r.top() < box.bottom() && r.bottom() > box.top()) {
            limit = std::min(limit, r.left() - 2);
        }
    }
    box.setWidth(std::max(box.width(), std::min(need, limit - box.left())));
    label->setGeometry(box);
}

GameDialog* AsDialog(Window dialog) {
    return dialog && dialog->kind == WindowObject::Dialog ? static_cast<GameDialog*>(dialog->widget)
                                                          : nullptr;
}

}  // namespace

QWidget* DialogControl(Window dialog, int controlId) {
    GameDialog* d = AsDialog(dialog);
    if (!d) return nullptr;
    auto it = d->controls.find(controlId);
    return it == d->controls.end() ? nullptr : it->second;
}

}  // namespace platform::qt

namespace platform {

using qt::AsDialog;

intptr_t DialogBoxParam(const char* templateName, Window owner, DialogProc proc, intptr_t param) {
    const DialogTemplate* tmpl = FindDialogTemplate(templateName);
    if (!tmpl || !proc || !qApp) return -1;
    qt::GameDialog dialog(*tmpl, qt::OwnerWidget(owner), proc);
    const bool focus = dialog.Send(WM_INITDIALOG, 0, param) != 0;
    if (dialog.ended) return dialog.result;
    // A nonzero answer gives the focus to the first control; otherwise no control has it and
    // Enter goes to the default button.
    if (focus)
        dialog.FocusFirstControl();
    else
        dialog.setFocus();
    qt::RunModal(dialog);
    return dialog.result;
}

bool EndDialog(Window dialog, intptr_t result) {
    qt::GameDialog* d = AsDialog(dialog);
    if (!d) return false;
    d->ended = true;
    d->result = result;
    d->done(0);
    return true;
}

void SetDlgItemText(Window dialog, int controlId, const char* text) {
    QWidget* widget = qt::DialogControl(dialog, controlId);
    const QString value = qt::FromGame(text);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(value);
        qt::FitLabel(label);
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(value);
    else if (auto* button = qobject_cast<QPushButton*>(widget))
        button->setText(value);
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        group->setTitle(value);
}

unsigned GetDlgItemText(Window dialog, int controlId, char* buffer, int maxCount) {
    QWidget* widget = qt::DialogControl(dialog, controlId);
    QString value;
    if (auto* label = qobject_cast<QLabel*>(widget))
        value = label->text();
    else if (auto* edit = qobject_cast<QLineEdit*>(widget))
        value = edit->text();
    else if (auto* button = qobject_cast<QPushButton*>(widget))
        value = button->text();
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        value = group->title();
    return qt::CopyToBuffer(qt::ToGame(value), buffer, maxCount);
}

void FillDlgItem(Window dialog, int controlId, uint32_t colorRef) {
    if (auto* swatch = dynamic_cast<qt::Swatch*>(qt::DialogControl(dialog, controlId)))
        swatch->Fill(qt::FromColorRef(colorRef));
}

}  // namespace platform
