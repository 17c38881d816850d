#include "app/VeskApplication.h"

int main(int argc, char* argv[]) {
    // The program takes no arguments; GTK is not handed them either.
    (void)argc;
    (void)argv;
    auto app = vesk::VeskApplication::create(vesk::AppOptions{});
    app->run(0, nullptr);
    return 0;
}
