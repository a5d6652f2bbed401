// The standard windows the game borrows from the desktop: the message box, the open and save
// file choosers (Qt's own dialog, so that it looks and behaves the same everywhere and tests can
// drive it) and the colour chooser.
#include <QAbstractItemView>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/bitmap.h"
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

// The picture's box; a layout's board is scaled down to fit inside it, never up.
constexpr int kPreviewWidthPx = 320;
constexpr int kPreviewHeightPx = 220;

// The panel beside the list: the picture of the highlighted file and its lines of text, asked
// of the game each time the highlight moves (by mouse or by the arrow keys).
void AddPreviewPanel(QFileDialog& dialog, FilePreviewProc proc) {
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (!grid) return;
    auto* panel = new QWidget(&dialog);
    panel->setObjectName(QStringLiteral("previewPanel"));
    auto* column = new QVBoxLayout(panel);
    auto* picture = new QLabel(panel);
    picture->setObjectName(QStringLiteral("previewPicture"));
    picture->setFixedSize(kPreviewWidthPx, kPreviewHeightPx);
    picture->setAlignment(Qt::AlignCenter);
    picture->setTextFormat(Qt::RichText);
    picture->setWordWrap(true);
    picture->setFrameShape(QFrame::StyledPanel);
    picture->setMargin(12);
    auto* text = new QLabel(panel);
    text->setObjectName(QStringLiteral("previewText"));
    text->setTextFormat(Qt::RichText);   // built from escaped lines only
    text->setWordWrap(true);
    text->setFixedWidth(kPreviewWidthPx);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    column->addWidget(picture);
    column->addWidget(text, 1);
    grid->addWidget(panel, 0, grid->columnCount(), grid->rowCount(), 1);
    dialog.resize(std::max(dialog.width(), 960), std::max(dialog.height(), 520));
    const QString hint = QStringLiteral("Highlight a file to see it here.");
    picture->setText(hint);
    auto show = [picture, text, proc, hint](const QString& path) {
        picture->clear();
        text->clear();
        if (path.isEmpty() || QFileInfo(path).isDir()) {
            picture->setText(hint);
            return;
        }
        FilePreview preview;
        proc(ToGame(path).constData(), preview);
        preview.text[sizeof preview.text - 1] = '\0';
        // The first line (the name) in bold; a file without a picture shows its text in the
        // picture's place, where the reason it cannot be played is seen at once.
        QStringList lines = FromGame(preview.text).split(QLatin1Char('\n'));
        for (QString& line : lines) line = line.toHtmlEscaped();
        if (!lines.isEmpty()) lines.first() = QStringLiteral("<b>") + lines.first() + QStringLiteral("</b>");
        (preview.picture ? text : picture)->setText(lines.join(QStringLiteral("<br>")));
        if (const Bitmap* b = preview.picture) {
            const QImage image(reinterpret_cast<const uchar*>(b->data()), b->width(), b->height(),
                               b->width() * 4, QImage::Format_RGB32);
            const QSize room = picture->contentsRect().size();   // inside the frame and margin
            const QImage shown = b->width() > room.width() || b->height() > room.height()
                                     ? image.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                                     : image.copy();
            picture->setPixmap(QPixmap::fromImage(shown));
        }
    };
    QObject::connect(&dialog, &QFileDialog::currentChanged, panel, show);
    // Once the dialog is up, the file list takes the keyboard, so that the arrows walk through
    // the files and the preview follows them; Tab still leads to the name field.
    QTimer::singleShot(0, panel, [&dialog] {
        for (QAbstractItemView* view : dialog.findChildren<QAbstractItemView*>()) {
            const QString name = view->objectName();
            if ((name == QStringLiteral("listView") || name == QStringLiteral("treeView")) && view->isVisible()) {
                view->setFocus(Qt::OtherFocusReason);
                break;
            }
        }
    });
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
    if (ofn.filter2Pattern) filters << NameFilter(ofn.filter2Name, ofn.filter2Pattern);
    if (ofn.allFilesFilter || filters.isEmpty()) filters << QStringLiteral("All files (*)");
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.value(std::clamp(ofn.filterIndex, 1, int(filters.size())) - 1));
    if (ofn.initialDir && *ofn.initialDir && QFileInfo(FromGame(ofn.initialDir)).isDir())
        dialog.setDirectory(FromGame(ofn.initialDir));
    if (ofn.defExt && *ofn.defExt) dialog.setDefaultSuffix(FromGame(ofn.defExt));
    if (*ofn.file) dialog.selectFile(FromGame(ofn.file));
    if (ofn.preview && !save) AddPreviewPanel(dialog, ofn.preview);
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

int ChooseFromList(Window owner, const char* title, const char* prompt, const char* const* items, int count) {
    if (!qApp || count <= 0) return -1;
    QStringList names;
    for (int i = 0; i < count; ++i) names << qt::FromGame(items[i] ? items[i] : "");
    QInputDialog dialog(qt::OwnerWidget(owner));
    dialog.setWindowTitle(qt::FromGame(title));
    dialog.setLabelText(qt::FromGame(prompt));
    dialog.setOption(QInputDialog::UseListViewForComboBoxItems, true);
    dialog.setComboBoxItems(names);
    dialog.setTextValue(names.first());
    qt::ActivateWhenShown(&dialog);
    if (dialog.exec() != QDialog::Accepted) return -1;
    // Two maps of one name: the first of them is taken.
    const QString chosen = dialog.textValue();
    return static_cast<int>(names.indexOf(chosen));
}

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
