// The program that does nothing: its run time is the cost of starting and
// ending a process, the floor for every other program of the benchmark.
int main() {}
