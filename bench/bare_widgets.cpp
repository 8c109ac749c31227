// The reference for the start-up and memory rows: a bare Qt widgets program showing one empty window
// of the main window's size (with REELPOCKET_BENCH_LABEL set, one line of text in it). Started as the
// program is: it prints the wall clock in microseconds once its first paint is done and ends, or with
// REELPOCKET_BENCH_IDLE set it stays up, idle.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>

namespace {

class Window : public QWidget
{
protected:
    void paintEvent(QPaintEvent*) override
    {
        if (reported_ || qEnvironmentVariableIsSet("REELPOCKET_BENCH_IDLE"))
            return;
        reported_ = true;
        QTimer::singleShot(0, [] {
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            std::printf("shown %lld\n",
                        static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
    }

private:
    bool reported_ = false;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Window window;
    // The main window is 10920 x 4695 twips at 15 twips a pixel.
    window.setFixedSize(728, 313);
    if (qEnvironmentVariableIsSet("REELPOCKET_BENCH_LABEL"))
        (new QLabel(QStringLiteral("Reelpocket converts videos for the iPhone."), &window))->move(16, 16);
    window.show();
    return QApplication::exec();
}
