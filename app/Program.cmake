# The program's windows and the program itself.
k58_library(k58_app
  SOURCES AppUi.cpp
  DEPS k58_appcore k58_comm)
