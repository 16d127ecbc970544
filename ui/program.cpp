#include "ui/program.h"

#include <QApplication>

namespace ui {
namespace {

std::function<void()> &handler()
{
    static std::function<void()> instance;
    return instance;
}

bool ending = false;

} // namespace

void endProgram()
{
    ending = true;
    if (handler()) {
        handler()();
        return;
    }
    QApplication::closeAllWindows();
    QCoreApplication::exit(0);
}

void setEndProgramHandler(std::function<void()> newHandler)
{
    handler() = std::move(newHandler);
    ending = false;
}

bool isEnding()
{
    return ending;
}

} // namespace ui
