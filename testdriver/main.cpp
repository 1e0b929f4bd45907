// fieldkit-testdriver: the desktop program with the options of testdriver/test_driver.h,
// for end-to-end tests and screenshots. The shipped `fieldkit` knows none of them.
#include "app/desktop_startup.h"
#include "testdriver/test_driver.h"

int main(int argc, char** argv) {
    return fk::RunDesktop(argc, argv, fk::testdriver::Install);
}
