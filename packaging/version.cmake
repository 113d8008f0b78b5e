# The version text the program shows on its status line ("砚舟文匣 v4.2"), read from the program's
# own source so that both packages carry that very version. Included by CMake, it sets
# YZ_VERSION_TEXT; `cmake -P packaging/version.cmake` prints it.
file(STRINGS "${CMAKE_CURRENT_LIST_DIR}/../src/ui/status_line.h" yz_version_line REGEX "kVersionText = \"[^\"]*\"")
string(REGEX REPLACE ".*kVersionText = \"([^\"]*)\".*" "\\1" YZ_VERSION_TEXT "${yz_version_line}")
if(NOT YZ_VERSION_TEXT MATCHES "^[0-9]+(\\.[0-9]+)+$")
    message(FATAL_ERROR "src/ui/status_line.h holds no version text such as \"4.2\" in kVersionText")
endif()
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${YZ_VERSION_TEXT}")
else()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${CMAKE_CURRENT_LIST_DIR}/../src/ui/status_line.h")
endif()
