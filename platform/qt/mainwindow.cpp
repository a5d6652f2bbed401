// The main window: a fixed-size frame around the board surface (the window's Bitmap shown as a
// QImage without copying), the menu bar, the status bar and the icon; mouse presses and closing
// become window messages, and drawing goes through GetDC/ReleaseDC on the surface.
#include <QApplication>
#include <QImage>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QMenuBar>
#include <QScreen>
#include <QWindow>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

#include "platform/qt/qtwindows.h"

namespace platform::qt {
namespace {

QPointer<MainWindow> theMainWindow;

// The widget size of a fresh window before the game sizes it: the board size the settings start
// with. Its surface is made at the board's size by the first Fit (before the window is shown), so
// a full-size picture is not made and thrown away at start-up.
constexpr int kInitialWidthPx = 637;
constexpr int kInitialHeightPx = 445;

void FillBitmap(Bitmap& bitmap, uint32_t pixel) {
    uint32_t* p = bitmap.data();
    for (size_t i = 0, n = static_cast<size_t>(bitmap.width()) * bitmap.height(); i < n; ++i) p[i] = pixel;
}

// Wall-clock microseconds, for the opt-in first-paint report that the start-up benchmark reads.
long long NowMicroseconds() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

// The resident memory of the process, for the same report.
long long ResidentKiB() {
    long long pages = 0, resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%lld %lld", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

QPixmap DrawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    const qreal side = size / 8.0;                      // the tile's thickness, left and below
    const QRectF face(side + 1, 1, size - side - 2, size - side - 2);
    QPolygonF body;                                     // face plus the two flanks
    body << QPointF(face.left(), face.top()) << face.topRight() << face.bottomRight()
         << QPointF(face.right() - side, face.bottom() + side)
         << QPointF(face.left() - side, face.bottom() + side)
         << QPointF(face.left() - side, face.top() + side);
    p.setPen(QPen(QColor(60, 50, 40), size >= 32 ? 1.5 : 1.0));
    p.setBrush(QColor(176, 140, 90));
    p.drawPolygon(body);
    p.setBrush(QColor(250, 246, 230));
    p.drawRect(face);
    const qreal r = face.width() * 0.22;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(210, 30, 30));
    p.drawEllipse(face.center(), r, r);
    return pixmap;
}

class Activator : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* w = qobject_cast<QWidget*>(watched); w && w->isWindow()) w->activateWindow();
        return false;
    }
};

}  // namespace

void ActivateWhenShown(QWidget* window) {
    if (window) window->installEventFilter(new Activator(window));
}

QIcon AppIcon() {
    QIcon icon;
    icon.addPixmap(DrawIcon(16));
    icon.addPixmap(DrawIcon(32));
    icon.addPixmap(DrawIcon(64));
    return icon;
}

MainWindow* TheMainWindow() { return theMainWindow.data(); }

void ReleaseWindows() {
    ReleaseHelpWindow();
    delete theMainWindow.data();
}

SurfaceWidget::SurfaceWidget(MainWindow& owner) : QWidget(&owner), owner_(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);   // every pixel comes from the surface
}

void SurfaceWidget::paintEvent(QPaintEvent*) {
    Bitmap& bitmap = owner_.Surface();
    // Pixels 0x00RRGGBB are what Format_RGB32 holds (its top byte is ignored): no copy is made.
    const QImage image(reinterpret_cast<const uchar*>(bitmap.data()), bitmap.width(), bitmap.height(),
                       bitmap.width() * 4, QImage::Format_RGB32);
    QPainter painter(this);
    // The surface is made at the drawing scale, which includes the device pixel ratio, so it
    // normally maps one to one onto device pixels; when it does not (a ratio the scale could not
    // follow) each pixel is repeated or dropped, never blurred.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(rect(), image);
    if (owner_.presents == 0 || owner_.framed) return;
    owner_.framed = true;
    if (owner_.reportFirstPaint) {
        std::fprintf(stderr, "tolbex: first board paint at %lld us, resident %lld KiB\n", NowMicroseconds(),
                     ResidentKiB());
        std::fflush(stderr);
    }
    // Queued: the picture reaches the screen when this paint returns, before the tasks run.
    QMetaObject::invokeMethod(&owner_, [main = &owner_] { RunFirstFrameTasks(*main); }, Qt::QueuedConnection);
}

void RunFirstFrameTasks(MainWindow& window) {
    window.framed = true;
    const std::vector<void (*)(Window)> tasks = std::move(window.firstFrameTasks);
    window.firstFrameTasks.clear();
    for (auto task : tasks) task(&window.handle);
}

void SurfaceWidget::mousePressEvent(QMouseEvent* event) {
    if (owner_.quitPosted) return;   // the game has shut down; the loop ends at its next turn
    // Logical position -> surface pixel -> board pixel: the game hit-tests in board pixels.
    const Bitmap& bitmap = owner_.Surface();
    const QPointF at = event->position();
    const int x = static_cast<int>(std::floor(at.x() * bitmap.width() / std::max(width(), 1))) / owner_.DrawScale();
    const int y = static_cast<int>(std::floor(at.y() * bitmap.height() / std::max(height(), 1))) / owner_.DrawScale();
    const intptr_t point = MakePointParam(x, y);
    if (event->button() == Qt::LeftButton)
        owner_.Deliver(WM_LBUTTONDOWN, 0, point);
    else if (event->button() == Qt::RightButton)
        owner_.Deliver(WM_RBUTTONDOWN, 0, point);
}

MainWindow::MainWindow(const char* title, WindowProc proc, uint32_t backgroundColor)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      proc_(proc),
      backgroundPixel_(ColorRefToPixel(backgroundColor)),
      surface_(std::make_unique<Bitmap>(1, 1)) {
    handle.widget = this;
    FillBitmap(*surface_, backgroundPixel_);
    setWindowTitle(FromGame(title));
    setWindowIcon(AppIcon());
    surfaceWidget_ = new SurfaceWidget(*this);
    surfaceWidget_->setFixedSize(kInitialWidthPx, kInitialHeightPx);
    setCentralWidget(surfaceWidget_);
    layout()->setSizeConstraint(QLayout::SetFixedSize);   // the frame follows the board
    const char* trace = std::getenv("TOLBEX_TRACE_FIRST_PAINT");
    reportFirstPaint = trace && *trace && *trace != '0';
}

intptr_t MainWindow::Deliver(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return proc_ ? proc_(&handle, message, wParam, lParam) : 0;
}

void MainWindow::Command(int id) {
    if (quitPosted) return;
    auto action = commands.find(id);
    if (action != commands.end() && action->second->isCheckable())
        action->second->setChecked(checks[id]);
    Deliver(WM_COMMAND, static_cast<uintptr_t>(id), 0);
}

void MainWindow::Fit(int width, int height, int scale) {
    scale_ = std::max(scale, 1);
    width = std::max(width, 1) * scale_;
    height = std::max(height, 1) * scale_;
    if (width != surface_->width() || height != surface_->height()) {
        auto fresh = std::make_unique<Bitmap>(width, height);
        FillBitmap(*fresh, backgroundPixel_);
        const int w = std::min(width, surface_->width());
        for (int y = 0; y < std::min(height, surface_->height()); ++y)
            std::copy(surface_->row(y), surface_->row(y) + w, fresh->row(y));
        surface_ = std::move(fresh);
    }
    // In logical pixels: at a whole pixel ratio that divides the scale, exactly the board size
    // times the tile factor.
    const qreal ratio = std::max<qreal>(devicePixelRatioF(), 1.0);
    fitRatio_ = std::max(1, static_cast<int>(std::lround(ratio)));
    surfaceWidget_->setFixedSize(static_cast<int>(std::ceil(width / ratio)), static_cast<int>(std::ceil(height / ratio)));
    layout()->activate();
    Centre();
    surfaceWidget_->update();
}

void MainWindow::ScreenChanged() {
    if (quitPosted || destroyed) return;
    if (std::max(1, static_cast<int>(std::lround(devicePixelRatioF()))) != fitRatio_) Deliver(WM_DISPLAYCHANGE);
}

QSize MainWindow::FrameExtra() const {
    const QSize board = surfaceWidget_->size();
    if (isVisible()) return frameGeometry().size() - board;
    // Before the first show the frame is unknown: the menu and status bars plus an allowance
    // for a title bar and borders.
    constexpr int kFrameAllowanceW = 16, kFrameAllowanceH = 40;
    const int bars = menuBar()->sizeHint().height() + (statusBar() ? statusBar()->sizeHint().height() : 0);
    return {kFrameAllowanceW, bars + kFrameAllowanceH};
}

// Centred on the whole screen with a truncating halving: a window larger than the screen gets a
// negative origin, as the game expects.
void MainWindow::Centre() {
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s) return;
    const QRect area = s->geometry();
    const QSize outer = isVisible() ? frameGeometry().size() : size();
    move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing destroys the window once; after a posted quit (the Exit command) the game has
    // already shut down and hears nothing more.
    event->accept();
    if (destroyed || quitPosted) return;
    destroyed = true;
    Deliver(WM_DESTROY);
}

QWidget* OwnerWidget(Window owner) {
    QWidget* widget = owner ? owner->widget : TheMainWindow();
    if (widget && owner && owner->kind == WindowObject::Status) widget = widget->window();
    return widget && widget->isVisible() ? widget : nullptr;
}

QString FromGame(const char* text) { return text ? QString::fromLocal8Bit(text) : QString(); }
QByteArray ToGame(const QString& text) { return text.toLocal8Bit(); }

unsigned CopyToBuffer(const QByteArray& text, char* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    int n = std::min<int>(static_cast<int>(text.size()), size - 1);
    // Never end inside a multi-byte character: back off over its continuation bytes.
    if (n < text.size())
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    std::memcpy(buffer, text.constData(), static_cast<size_t>(n));
    buffer[n] = '\0';
    return static_cast<unsigned>(n);
}

}  // namespace platform::qt

namespace platform {

using qt::MainWindow;

Window CreateMainWindow(const char* title, WindowProc proc, uint32_t backgroundColor) {
    if (!qApp) return nullptr;
    qt::ReleaseWindows();
    QApplication::setQuitOnLastWindowClosed(false);   // only the game's quit ends the loop
    QApplication::setWindowIcon(qt::AppIcon());
    auto* window = new MainWindow(title, proc, backgroundColor);
    qt::theMainWindow = window;
    qt::BuildMenu(*window);
    if (window->Deliver(WM_CREATE) == -1) {
        delete window;
        return nullptr;
    }
    return &window->handle;
}

void ShowWindow(Window window) {
    if (!window || !window->widget) return;
    if (window->kind != WindowObject::Main) {
        window->widget->show();
        return;
    }
    auto* main = static_cast<MainWindow*>(window->widget);
    const bool first = !main->isVisible();
    main->show();
    if (first) {
        main->Centre();
        main->activateWindow();
        if (QWindow* handle = main->windowHandle())
            QObject::connect(handle, &QWindow::screenChanged, main, [main] { main->ScreenChanged(); });
    }
    main->Deliver(WM_PAINT);
}

// A window that is never shown (or never painted) runs its tasks a second on all the same.
void AfterFirstFrame(Window window, void (*task)(Window)) {
    if (!window || window->kind != WindowObject::Main || !task) return;
    auto* main = static_cast<MainWindow*>(window->widget);
    if (main->framed) {
        QMetaObject::invokeMethod(main, [task, window] { task(window); }, Qt::QueuedConnection);
        return;
    }
    main->firstFrameTasks.push_back(task);
    QTimer::singleShot(1000, main, [main] { qt::RunFirstFrameTasks(*main); });
}

void FitMainWindow(Window window, Window, int width, int height, int scale) {
    if (window && window->kind == WindowObject::Main)
        static_cast<MainWindow*>(window->widget)->Fit(width, height, scale);
}

ScreenArea GetScreenArea(Window window) {
    MainWindow* main = window && window->kind == WindowObject::Main ? static_cast<MainWindow*>(window->widget)
                                                                    : qt::TheMainWindow();
    QScreen* screen = main && main->screen() ? main->screen() : QGuiApplication::primaryScreen();
    ScreenArea area{1024, 768, 0, 0, 1};
    if (!screen) return area;
    const QRect available = screen->availableGeometry();
    area.availableWidth = available.width();
    area.availableHeight = available.height();
    area.pixelRatio = std::max(1, static_cast<int>(std::lround(screen->devicePixelRatio())));
    if (main) {
        const QSize extra = main->FrameExtra();
        area.frameWidth = extra.width();
        area.frameHeight = extra.height();
    }
    return area;
}

DeviceContext GetDC(Window window) {
    DeviceContext dc;
    if (window && window->kind == WindowObject::Main)
        dc.bitmap = &static_cast<MainWindow*>(window->widget)->Surface();
    return dc;
}

void ReleaseDC(Window window, DeviceContext& dc) {
    dc.bitmap = nullptr;
    if (!window || window->kind != WindowObject::Main) return;
    auto* main = static_cast<MainWindow*>(window->widget);
    ++main->presents;
    main->surfaceWidget()->update();   // shows the surface at the next paint; draws nothing itself
}

Window CreateStatusWindow(Window parent, int) {
    if (!parent || parent->kind != WindowObject::Main) return nullptr;
    auto* main = static_cast<MainWindow*>(parent->widget);
    auto* bar = new QStatusBar(main);
    bar->setSizeGripEnabled(false);
    auto* label = new QLabel(bar);
    label->setTextFormat(Qt::PlainText);
    bar->addWidget(label, 1);
    main->setStatusBar(bar);
    main->statusLabel = label;
    main->statusHandle.widget = bar;
    return &main->statusHandle;
}

void PostStatusText(Window statusBar, const char* text) {
    if (!statusBar || statusBar->kind != WindowObject::Status || !statusBar->widget) return;
    auto* main = static_cast<MainWindow*>(statusBar->widget->window());
    QLabel* label = main->statusLabel;
    if (!label) return;
    // Like a posted SB_SETTEXT: the text is read when the call runs, so the latest text wins.
    QMetaObject::invokeMethod(label, [label, text] { label->setText(qt::FromGame(text)); },
                              Qt::QueuedConnection);
}

}  // namespace platform
