# The program's windows, headless.
if(TARGET k58_sioselcom)
  k58_test(appforms_tests
    SOURCES AppTestSupport.cpp AppUiTest.cpp ChannelTableTest.cpp DialogsTest.cpp FormResourcesTest.cpp PortFixtures.cpp
            ProgramFixture.cpp
    DEPS k58_app k58_testsupport_display)
  target_compile_definitions(appforms_tests PRIVATE K58_RESOURCE_DIR="${CMAKE_SOURCE_DIR}/resources/")
  # Broken copies of shipped forms that once crashed or hung the reader.
  k58_embed_resources(appforms_tests RCDATA ../data/forms/WriteDialogHoldingItself.form
                      ../data/forms/PortDialogWithoutList.form)
else()
  k58_test(appforms_tests
    SOURCES AppUiTest.cpp PortFixtures.cpp
    DEPS k58_app k58_testsupport_display)
endif()
