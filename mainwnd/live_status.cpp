// The main window's live texts.
#include <ctime>

#include "app/main_window.h"

namespace lumetra {

void MainWindow::RefreshClock() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M", &local);
    SetText("TEXT_CLOCK", text);
}

}  // namespace lumetra
