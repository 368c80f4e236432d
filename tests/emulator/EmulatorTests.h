#ifndef ZENDRA_TESTS_EMULATOR_EMULATORTESTS_H
#define ZENDRA_TESTS_EMULATOR_EMULATORTESTS_H

// The test classes of the emulator's unit tests, run one after the other by main.
int RunEngineTests(int argc, char** argv);
int RunArithmeticTests(int argc, char** argv);
int RunLogicTests(int argc, char** argv);
int RunControlTests(int argc, char** argv);

#endif
