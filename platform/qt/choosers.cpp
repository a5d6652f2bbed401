// The standard windows the game borrows from the desktop: the message box, the open and save
// file choosers (Qt's own dialog, so that it looks and behaves the same everywhere and tests can
// drive it) and the colour chooser.
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>

#include "platform/qt/qtwindows.h"

namespace platform::qt {
namespace {

constexpr int kIdOk = 1;

// "Layouts (*.TXL)" with "*.TXL" gives "Layouts (*.TXL *.txl)": names match in either case.
QString NameFilter(const char* name, const char* pattern) {
    QStringList patterns;
    for (const QString& p : FromGame(pattern).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        for (const QString& form : {p.trimmed(), p.trimmed().toUpper(), p.trimmed().toLower()})
            if (!form.isEmpty() && !patterns.contains(form)) patterns << form;
    }
    QString label = FromGame(name);
    const qsizetype paren = label.indexOf(QLatin1Char('('));
    if (paren >= 0) label = label.left(paren).trimmed();
    if (patterns.isEmpty()) patterns << QStringLiteral("*");
    return label + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

bool RunFileDialog(OpenFileName& ofn, bool save) {
    if (!ofn.file || ofn.fileSize == 0 || !qApp) return false;
    const QString title = ofn.title ? FromGame(ofn.title)
                                    : (save ? QStringLiteral("Save As") : QStringLiteral("Open"));
    QFileDialog dialog(OwnerWidget(ofn.owner), title);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::DontUseCustomDirectoryIcons, true);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(!save && (ofn.flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                                : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(save && (ofn.flags & OFN_OVERWRITEPROMPT)));
    QStringList filters;
    if (ofn.filterPattern) filters << NameFilter(ofn.filterName, ofn.filterPattern);
    if (ofn.allFilesFilter || filters.isEmpty()) filters << QStringLiteral("All files (*)");
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.value(std::clamp(ofn.filterIndex, 1, int(filters.size())) - 1));
    if (ofn.initialDir && *ofn.initialDir && QFileInfo(FromGame(ofn.initialDir)).isDir())
        dialog.setDirectory(FromGame(ofn.initialDir));
    if (ofn.defExt && *ofn.defExt) dialog.setDefaultSuffix(FromGame(ofn.defExt));
    if (*ofn.file) dialog.selectFile(FromGame(ofn.file));
    ActivateWhenShown(&dialog);
    if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    const QByteArray path = ToGame(dialog.selectedFiles().first());
    if (static_cast<size_t>(path.size()) + 1 > ofn.fileSize) return false;   // the buffer is too small
    std::memcpy(ofn.file, path.constData(), static_cast<size_t>(path.size()) + 1);
    return true;
}


// The chooser without its panel for defining new colours: the basic and the custom colours,
// OK and Cancel. Parts that cannot be found are simply left as they are.
void ShowBasicColoursOnly(QColorDialog& dialog) {
    for (QWidget* child : dialog.findChildren<QWidget*>()) {
        const QByteArray name = child->metaObject()->className();
        if (name.endsWith("QColorPicker") || name.endsWith("QColorLuminancePicker") ||
            name.endsWith("QColorShower"))
            child->hide();
    }
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text().contains(QStringLiteral("Add to Custom"))) button->hide();
    if (dialog.layout()) dialog.layout()->activate();
    dialog.adjustSize();
}

}  // namespace

QColor FromColorRef(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

uint32_t ToColorRef(const QColor& c) {
    return static_cast<uint32_t>(c.red()) | static_cast<uint32_t>(c.green()) << 8 |
           static_cast<uint32_t>(c.blue()) << 16;
}

}  // namespace platform::qt

namespace platform {

int MessageBox(Window owner, const char* text, const char* caption, unsigned style) {
    if (!qApp) return qt::kIdOk;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    if ((style & 0xF0) == MB_ICONEXCLAMATION)
        icon = QMessageBox::Warning;
    else if ((style & 0xF0) == MB_ICONINFORMATION)
        icon = QMessageBox::Information;
    QMessageBox box(icon, qt::FromGame(caption), qt::FromGame(text), QMessageBox::Ok,
                    qt::OwnerWidget(owner));
    box.setTextFormat(Qt::PlainText);
    box.setEscapeButton(QMessageBox::Ok);
    qt::ActivateWhenShown(&box);
    qt::RunModal(box);
    return qt::kIdOk;
}

bool GetOpenFileName(OpenFileName& ofn) { return qt::RunFileDialog(ofn, false); }
bool GetSaveFileName(OpenFileName& ofn) { return qt::RunFileDialog(ofn, true); }

// The chooser opens on black with the caller's sixteen custom colours; whatever the player
// picks is returned, black included (the caller decides what black means).
bool ChooseColor(Window owner, uint32_t customColors[16], uint32_t* result) {
    if (!qApp || !result) return false;
    if (customColors)
        for (int i = 0; i < 16; ++i) QColorDialog::setCustomColor(i, qt::FromColorRef(customColors[i]));
    QColorDialog dialog(QColor(0, 0, 0), qt::OwnerWidget(owner));
    dialog.setOption(QColorDialog::DontUseNativeDialog, true);
    dialog.setWindowTitle(QStringLiteral("Color"));
    qt::ShowBasicColoursOnly(dialog);
    qt::ActivateWhenShown(&dialog);
    const bool chosen = qt::RunModal(dialog) == QDialog::Accepted;
    if (customColors)
        for (int i = 0; i < 16; ++i) customColors[i] = qt::ToColorRef(QColorDialog::customColor(i));
    if (!chosen) return false;
    *result = qt::ToColorRef(dialog.selectedColor());
    return true;
}

}  // namespace platform
