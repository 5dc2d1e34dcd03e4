# The program's windows, headless.
k58_test(appforms_tests
  SOURCES AppUiTest.cpp PortFixtures.cpp
  DEPS k58_app)
