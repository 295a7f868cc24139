/* menu.h -- the workbench's dialogue on the console. */
#ifndef BITREE_MENU_H
#define BITREE_MENU_H

int RunMenu(void);

#endif
