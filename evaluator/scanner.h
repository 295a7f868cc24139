/* scanner.h -- scanning the expression, the precedence relation and the
 * arithmetic of the operator-precedence method. */
#ifndef EVALUATOR_SCANNER_H
#define EVALUATOR_SCANNER_H

int Read();
int IsNum(int i);
int PriorityCom(char t, char c);
int Calculate(int a, char op, int b);

#endif
