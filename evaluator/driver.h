/* driver.h -- loading the expression and the step loop with its trace. */
#ifndef EVALUATOR_DRIVER_H
#define EVALUATOR_DRIVER_H

const char *Start();
void Run();
int ShowUp(int step);
void PrintString(int flag);

#endif
