// The desktop program as it ships: the start-up with nothing added.
#include "app/desktop_startup.h"

int main(int argc, char** argv) {
    return fk::RunDesktop(argc, argv);
}
