# The radio read and write protocol behind the read and write dialogs (k58_approto, runs against any
# IRadioPort), and the radio port over the serial port component (k58_approto_com).
k58_library(k58_approto
  SOURCES RadioLink.cpp ReadRadio.cpp WriteRadio.cpp
  DEPS k58_appcore k58_wincore k58_comm)
if(TARGET k58_serial)
  k58_library(k58_approto_com
    SOURCES RadioPort.cpp
    DEPS k58_approto k58_serial)
endif()
