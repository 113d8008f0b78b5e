# Delay-import libraries for the Windows build. A DLL linked through one is loaded on the first
# call into it instead of at process start. Under Wine every DLL loaded at start (with the DLLs it
# imports in turn) delays the first window, and the network, the shell and the common dialogs are
# not needed before the main window is painted.
#
# yz_delay_import(TARGET LIBRARY) defines the imported library TARGET that links the system
# library LIBRARY (wininet, shell32, ...) delay-loaded. Its export list is taken from MinGW's own
# import library, so every function of the DLL stays available; data exports are left out, as they
# cannot be delay-loaded.
function(yz_delay_import target library)
    find_library(YZ_IMPORT_LIBRARY_${library} NAMES lib${library}.a REQUIRED)
    set(import_library ${YZ_IMPORT_LIBRARY_${library}})
    execute_process(COMMAND ${CMAKE_DLLTOOL} --identify ${import_library}
                    OUTPUT_VARIABLE dll OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND ${CMAKE_NM} ${import_library} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)

    # A function export has its thunk ("T name") and its import slot ("I __imp_name").
    string(REPLACE "\n" ";" lines "${symbols}")
    set(code "")
    set(slots "")
    foreach(line IN LISTS lines)
        if(line MATCHES " T ([A-Za-z0-9_@?$]+)$")
            list(APPEND code ${CMAKE_MATCH_1})
        elseif(line MATCHES " I __imp_([A-Za-z0-9_@?$]+)$")
            list(APPEND slots ${CMAKE_MATCH_1})
        endif()
    endforeach()
    set(functions ${slots})
    list(REMOVE_DUPLICATES functions)
    list(FILTER functions EXCLUDE REGEX "^$")
    set(exports "")
    foreach(name IN LISTS functions)
        if(name IN_LIST code)
            string(APPEND exports "    ${name}\n")
        endif()
    endforeach()

    set(directory ${CMAKE_BINARY_DIR}/delay-import)
    file(MAKE_DIRECTORY ${directory})
    file(WRITE ${directory}/${library}.def "LIBRARY ${dll}\nEXPORTS\n${exports}")
    execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${directory}/${library}.def --dllname ${dll}
                            --output-delaylib ${directory}/lib${library}_delay.a COMMAND_ERROR_IS_FATAL ANY)
    add_library(${target} STATIC IMPORTED GLOBAL)
    set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${directory}/lib${library}_delay.a)
endfunction()
