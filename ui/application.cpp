#include "ui/application.h"

#include "ui/form1.h"
#include "ui/parametres.h"

namespace thermo {

Application::Application() : dialog_(std::make_unique<parametres>(*this)) {}

Application::~Application() = default;

Form1& Application::mainWindow() {
    if (!mainWindow_) {
        mainWindow_ = std::make_unique<Form1>(dialog_.get());
        emit mainWindowCreated(mainWindow_.get());
    }
    return *mainWindow_;
}

void Application::start() {
    dialog_->show();
}

} // namespace thermo
