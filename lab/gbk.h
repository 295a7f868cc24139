/* gbk.h -- the two-byte GBK characters as Unicode code points (gbk.cpp). */
#ifndef LAB_GBK_H
#define LAB_GBK_H

extern const unsigned short kGbk[126 * 191];

#endif
