# The program's windows and the program itself.
set(K58_FORMS_DIR ${CMAKE_SOURCE_DIR}/resources/forms)
set(K58_IMAGES_DIR ${CMAKE_SOURCE_DIR}/resources/images)

if(TARGET k58_forms AND TARGET k58_grid AND TARGET k58_approto_com)
  # The port component's selection dialog (its unit lives with the serial port component).
  k58_library(k58_sioselcom
    SOURCES ${CMAKE_SOURCE_DIR}/serial/SioSelCom.cpp ${CMAKE_SOURCE_DIR}/serial/SioSelComPrompt.cpp
    DEPS k58_serial k58_forms)
  k58_embed_resources(k58_sioselcom FORM ${K58_FORMS_DIR}/TComSelectForm.form)

  k58_library(k58_app
    SOURCES AppUi.cpp ChInfo.cpp ComPortList.cpp FormResources.cpp MainFrm.cpp Maindb.cpp Model.cpp Program.cpp
            RadioDialogPort.cpp RadioTransferForm.cpp ReadRadioForm.cpp SetLanguage.cpp SetPort.cpp WriteRadioForm.cpp
    DEPS k58_approto_com k58_appcore k58_grid k58_foundation k58_sioselcom k58_forms k58_serial k58_comm)
  k58_embed_resources(k58_app FORM
    ${K58_FORMS_DIR}/TfMaindb.form ${K58_FORMS_DIR}/TfMainFrm.form ${K58_FORMS_DIR}/TfChInfo.form
    ${K58_FORMS_DIR}/TfReadRadio.form ${K58_FORMS_DIR}/TfWriteRadio.form ${K58_FORMS_DIR}/TfSetPort.form
    ${K58_FORMS_DIR}/TfSetLanguage.form ${K58_FORMS_DIR}/TfModel.form)
  k58_embed_resources(k58_app BITMAP
    ${K58_IMAGES_DIR}/PIC.bmp ${K58_IMAGES_DIR}/PICABOUT.bmp ${K58_IMAGES_DIR}/TOOLBAR.bmp)
  k58_embed_resources(k58_app ICON ${K58_IMAGES_DIR}/MAINICON.ico)

  # The program, with its run-time files next to it.
  add_executable(k58 K58.cpp)
  target_link_libraries(k58 PRIVATE k58_app)
  set_target_properties(k58 PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${K58_RUNTIME_DIR})
  if(TARGET k58_resources)
    add_dependencies(k58 k58_resources)
  endif()
else()
  k58_library(k58_app
    SOURCES ComPortList.cpp
    DEPS k58_appcore k58_comm)
endif()
