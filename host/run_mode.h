// Run modes of the program, fixed once the command line has been read.
#pragma once

enum RunMode {
  RunMode_None = 0,
  RunMode_Config = 1,
  RunMode_ChangePassword = 2,
  RunMode_Preview = 3,
  RunMode_Saver = 4,
};
