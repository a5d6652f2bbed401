// The yardstick of the start-up benchmark (bench/startup.sh): the least a Qt 6 program of the
// game's shape does before its first picture — a fixed window with a menu bar, a one-part status
// bar and a painted 637 x 445 image. With TOLBEX_TRACE_FIRST_PAINT set it reports the wall-clock
// time of its first painted image and its resident memory then on stderr, in the same words as
// the game.
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace {

class ImageWidget : public QWidget {
public:
    ImageWidget() : image_(637, 445, QImage::Format_RGB32) {
        for (int y = 0; y < image_.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
            for (int x = 0; x < image_.width(); ++x) row[x] = qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF);
        }
        setFixedSize(image_.size());
        const char* trace = std::getenv("TOLBEX_TRACE_FIRST_PAINT");
        report_ = trace && *trace && *trace != '0';
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(QRect(QPoint(0, 0), image_.size()), image_);
        if (report_) {
            report_ = false;
            timespec ts{};
            clock_gettime(CLOCK_REALTIME, &ts);
            long long pages = 0, resident = 0;
            if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
                if (std::fscanf(statm, "%lld %lld", &pages, &resident) != 2) resident = 0;
                std::fclose(statm);
            }
            std::fprintf(stderr, "tolbex: first board paint at %lld us, resident %lld KiB\n",
                         static_cast<long long>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000,
                         resident * (sysconf(_SC_PAGESIZE) / 1024));
            std::fflush(stderr);
        }
    }

private:
    QImage image_;
    bool report_;
};

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
    QApplication app(argc, argv);
    QMainWindow window;
    for (const char* title : {"&Game", "&Options", "&Music", "&?"}) {
        QMenu* menu = window.menuBar()->addMenu(title);
        menu->addAction("&One");
        menu->addAction("&Two");
    }
    window.menuBar()->addAction("&Layout");
    window.setCentralWidget(new ImageWidget);
    window.statusBar()->addWidget(new QLabel("144 Tiles"), 1);
    window.layout()->setSizeConstraint(QLayout::SetFixedSize);
    window.setWindowTitle("Bare window");
    window.show();
    return app.exec();
}
