// The borrowed desktop windows: the file choosers (filter in both cases, initial folder, default
// suffix, the buffer rule), the colour chooser (custom colours, the answer as COLORREF), the
// message box (caption, icon, text), the help window, and the directories with their buffer rules.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "platform/qt/qtwindows.h"
#include "support.h"

namespace {

TEST(QtChoosers, SaveDialogFiltersBothCasesStartsInItsFolderAndAddsTheSuffix) {
    qttest::App();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList filters;
    QString startedIn, title;
    qttest::WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        filters = dialog->nameFilters();
        startedIn = dialog->directory().absolutePath();
        title = dialog->windowTitle();
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText("mygame");
        static_cast<QDialog*>(dialog)->accept();
    });
    char file[500] = "";
    const QByteArray initial = QFile::encodeName(dir.path());
    platform::OpenFileName ofn;
    ofn.filterName = "Games (*.TXM)";
    ofn.filterPattern = "*.TXM";
    ofn.allFilesFilter = true;
    ofn.file = file;
    ofn.fileSize = sizeof file;
    ofn.initialDir = initial.constData();
    ofn.flags = platform::OFN_OVERWRITEPROMPT;
    ofn.defExt = "TXM";
    ASSERT_TRUE(platform::GetSaveFileName(ofn));
    EXPECT_EQ(filters, (QStringList{"Games (*.TXM *.txm)", "All files (*)"}));
    EXPECT_EQ(startedIn, QDir(dir.path()).absolutePath());
    EXPECT_EQ(title, "Save As");
    EXPECT_STREQ(file, (QDir(dir.path()).absoluteFilePath("mygame.TXM")).toLocal8Bit().constData());
}

TEST(QtChoosers, OpenDialogCancelledOrTooLongForTheBufferChoosesNothing) {
    qttest::App();
    QTemporaryDir dir;
    std::ofstream(QDir(dir.path()).absoluteFilePath("layout2.txl").toStdString()) << "x";
    char file[500] = "";
    const QByteArray initial = QFile::encodeName(dir.path());
    platform::OpenFileName ofn;
    ofn.filterName = "Layouts (*.TXL)";
    ofn.filterPattern = "*.TXL";
    ofn.file = file;
    ofn.fileSize = sizeof file;
    ofn.initialDir = initial.constData();
    ofn.title = "Tolbex";
    ofn.flags = platform::OFN_FILEMUSTEXIST | platform::OFN_PATHMUSTEXIST;
    QString title;
    qttest::WhenModal([&](QWidget* modal) {
        title = modal->windowTitle();
        static_cast<QDialog*>(modal)->reject();
    });
    EXPECT_FALSE(platform::GetOpenFileName(ofn));
    EXPECT_EQ(title, "Tolbex");
    EXPECT_STREQ(file, "");

    // A lower-case file under an upper-case filter is offered and taken.
    qttest::WhenModal([&](QWidget* modal) {
        auto* dialog = static_cast<QFileDialog*>(modal);
        dialog->selectFile("layout2.txl");
        static_cast<QDialog*>(dialog)->accept();
    });
    ASSERT_TRUE(platform::GetOpenFileName(ofn));
    EXPECT_TRUE(QString::fromLocal8Bit(file).endsWith("/layout2.txl")) << file;

    char tiny[8] = "";
    ofn.file = tiny;
    ofn.fileSize = sizeof tiny;
    qttest::WhenModal([&](QWidget* modal) {
        auto* dialog = static_cast<QFileDialog*>(modal);
        dialog->selectFile("layout2.txl");
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_FALSE(platform::GetOpenFileName(ofn));
    EXPECT_STREQ(tiny, "");
}

TEST(QtChoosers, ColourChooserShowsTheCustomColoursAndAnswersAColorRef) {
    qttest::App();
    uint32_t custom[16];
    for (uint32_t& c : custom) c = 0x00FFFFFF;
    bool allWhite = true;
    qttest::WhenModal([&](QWidget* modal) {
        for (int i = 0; i < 16; ++i) allWhite = allWhite && QColorDialog::customColor(i) == QColor(Qt::white);
        auto* dialog = qobject_cast<QColorDialog*>(modal);
        dialog->setCurrentColor(QColor(0x12, 0x34, 0x56));
        static_cast<QDialog*>(dialog)->accept();
    });
    uint32_t result = 0;
    ASSERT_TRUE(platform::ChooseColor(nullptr, custom, &result));
    EXPECT_TRUE(allWhite);
    EXPECT_EQ(result, 0x00563412u);

    qttest::WhenModal([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
    result = 7;
    EXPECT_FALSE(platform::ChooseColor(nullptr, custom, &result));
    EXPECT_EQ(result, 7u);
}

TEST(QtChoosers, MessageBoxShowsCaptionIconAndTextWithOk) {
    qttest::App();
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    qttest::WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = static_cast<int>(box->buttons().size());
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(platform::MessageBox(nullptr, "TXM file : incorrect size", "Tolbex",
                                   platform::MB_OK | platform::MB_ICONEXCLAMATION),
              1);
    EXPECT_EQ(caption, "Tolbex");
    EXPECT_EQ(text, "TXM file : incorrect size");
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(buttons, 1);

    qttest::WhenModal([&](QWidget* modal) {
        icon = static_cast<QMessageBox*>(modal)->icon();
        text = static_cast<QMessageBox*>(modal)->text();
        static_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click();
    });
    platform::MessageBox(nullptr, "<b>No</b> more moves", "Tolbex", platform::MB_ICONINFORMATION);
    EXPECT_EQ(icon, QMessageBox::Information);
    EXPECT_EQ(text, "<b>No</b> more moves");   // shown as plain text, never as markup
}

TEST(QtDesktop, HelpWindowShowsTheFileOrSaysItIsMissing) {
    qttest::App();
    QTemporaryDir dir;
    const QString help = QDir(dir.path()).absoluteFilePath("Tolbex13.hlp");
    std::ofstream(help.toStdString()) << "<html><body><h1>How to play</h1><p>Take pairs.</p></body></html>";
    platform::WinHelp(nullptr, help.toLocal8Bit().constData());
    QTextBrowser* browser = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* b = qobject_cast<QTextBrowser*>(w); b && b->isVisible()) browser = b;
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().contains("How to play"));
    EXPECT_FALSE(browser->toPlainText().contains("<h1>"));

    QString text;
    qttest::WhenModal([&](QWidget* modal) {
        text = static_cast<QMessageBox*>(modal)->text();
        static_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click();
    });
    platform::WinHelp(nullptr, (dir.path() + "/missing.hlp").toLocal8Bit().constData());
    EXPECT_TRUE(text.contains("missing.hlp"));
    platform::qt::ReleaseHelpWindow();
}

TEST(QtDesktop, DirectoriesFollowTheBufferRulesAndTheConfigFolderIsMade) {
    QTemporaryDir dir;
    const QByteArray config = QFile::encodeName(dir.path()) + "/deeper/config";
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config);
    char buffer[500];
    const unsigned n = platform::GetWindowsDirectory(buffer, sizeof buffer);
    EXPECT_EQ(n, static_cast<unsigned>(config.size()));
    EXPECT_STREQ(buffer, config.constData());
    EXPECT_TRUE(QDir(QString::fromLocal8Bit(config)).exists());
    char small[4] = "abc";
    EXPECT_EQ(platform::GetWindowsDirectory(small, sizeof small), static_cast<unsigned>(config.size() + 1));
    EXPECT_STREQ(small, "abc");   // nothing copied when it does not fit

    // A relative XDG_CONFIG_HOME is ignored: ~/.config it is.
    const QByteArray home = qgetenv("HOME");
    qputenv("XDG_CONFIG_HOME", "relative/dir");
    qputenv("HOME", QFile::encodeName(dir.path()));
    platform::GetWindowsDirectory(buffer, sizeof buffer);
    EXPECT_EQ(QByteArray(buffer), QFile::encodeName(dir.path()) + "/.config");
    qputenv("HOME", home);
    if (saved.isNull()) qunsetenv("XDG_CONFIG_HOME"); else qputenv("XDG_CONFIG_HOME", saved);

    const QByteArray cwd = QFile::encodeName(QDir::currentPath());
    const unsigned length = platform::GetCurrentDirectory(sizeof buffer, buffer);
    EXPECT_EQ(length, static_cast<unsigned>(std::strlen(buffer)));
    EXPECT_EQ(platform::GetCurrentDirectory(length, buffer), length + 1);   // one short: the size needed
    EXPECT_GT(platform::Time(), 1700000000);
}

}  // namespace
