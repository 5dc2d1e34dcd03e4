# The radio read and write protocol: the full fault table on a manual clock against an in-process radio
# (appproto_tests), and a few cases in real time through the serial port component against the simulated
# radio on a pseudo-terminal (appproto_com_tests).
k58_test(appproto_tests
  SOURCES AppTestSupport.cpp RadioLinkFakes.cpp RadioLinkTest.cpp ReadRadioTest.cpp WriteRadioTest.cpp
  DEPS k58_approto k58_radiosim)
if(TARGET k58_approto_com)
  k58_test(appproto_com_tests
    SOURCES AppTestSupport.cpp RadioLinkPtyTest.cpp
    DEPS k58_approto_com k58_radiosim
    LABELS realtime)
endif()
