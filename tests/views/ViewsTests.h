// The test classes of the views, run one after the other by one executable.
#ifndef VIEWS_TESTS_H
#define VIEWS_TESTS_H

int RunDisaViewTests(int argc, char** argv);
int RunMemoryViewTests(int argc, char** argv);
int RunPageTests(int argc, char** argv);

#endif
