// Arbitrary bytes from the line into the window's receive handler, between two quiet lines. The
// first input byte says how many bytes each read delivers (0: all at once), so replies cut by the
// end of a read are covered.
#include "fake_serial_link.h"

#include "ui/main_window.h"
#include "ui/reply_log.h"

#include <QApplication>

#include <cstdlib>
#include <memory>

namespace {

std::unique_ptr<QApplication> application;
std::unique_ptr<FakeSerialLink> fakeLink;
std::unique_ptr<kxlt::ui::MainWindow> window;

// Keeps a long fuzzing run within memory; the log only grows otherwise.
constexpr std::size_t kMaxLogLines = 100000;

void startWindow()
{
    window.reset();
    fakeLink = std::make_unique<FakeSerialLink>();
    window = std::make_unique<kxlt::ui::MainWindow>(*fakeLink);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    application = std::make_unique<QApplication>(*argc, *argv);
    startWindow();
    // The window and the application go before the statics they registered with, as they do at
    // the end of main().
    std::atexit([] {
        window.reset();
        fakeLink.reset();
        application.reset();
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    fakeLink->quiet();
    const std::size_t piece = data[0] == 0 ? size : data[0];
    for (std::size_t offset = 1; offset < size; offset += piece) {
        const std::size_t length = std::min(piece, size - offset);
        emit fakeLink->received(
            QByteArray(reinterpret_cast<const char*>(data + offset), qsizetype(length)));
    }
    fakeLink->quiet();
    if (window->findChild<kxlt::ui::ReplyLog*>(QStringLiteral("Rbox1"))->lineCount() > kMaxLogLines)
        startWindow();
    return 0;
}
