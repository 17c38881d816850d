#include "app/VeskApplication.h"

int main(int argc, char* argv[]) {
    // vesk [ADDRESS…]: the arguments reach the running instance, if there is
    // one, and this process ends with its answer. --gapplication-app-id runs a
    // separate instance under another id, as the tests do.
    auto app = vesk::VeskApplication::create(vesk::AppOptions{},
                                             Gio::Application::Flags::CAN_OVERRIDE_APP_ID);
    return app->run(argc, argv);
}
