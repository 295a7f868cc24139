/* main.cpp -- the binary-tree workbench: a menu-driven console program that
 * rebuilds trees from traversals, threads them in post-order and builds and
 * evaluates prefix expression trees. Input is read until it ends. */
#include "menu.h"

int main(void) {
    return RunMenu();
}
