# Compiler settings shared by every target of the project, and the helper that turns a source
# folder into a library with its platform files picked by name: foo_win32.cpp is built only for
# Windows, foo_posix.cpp only elsewhere.

add_library(yz_options INTERFACE)
# Templates are tables of designated initializers that leave the other members at their defaults.
target_compile_options(yz_options INTERFACE -Wall -Wextra -Werror -Wshadow -Wno-missing-field-initializers
                                            -finput-charset=UTF-8)
# GCC 12 reports false -Wrestrict errors for "literal" + std::string temporaries at -O2 and above.
target_compile_options(yz_options INTERFACE $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)
if(NOT YZ_BUILD_FUZZ)
    # clang accepts only UTF-8 as the execution character set; the fuzz build does not depend on
    # the exact bytes of literals, every other build does. GCC 12's <chrono> holds a literal that
    # GBK cannot encode, so our sources take time from the platform instead of including it.
    target_compile_options(yz_options INTERFACE -fexec-charset=GBK)
endif()
target_include_directories(yz_options INTERFACE ${PROJECT_SOURCE_DIR}/src)

if(WIN32)
    target_compile_definitions(yz_options INTERFACE UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN
                                                    _WIN32_WINNT=0x0601)
    target_link_options(yz_options INTERFACE -static -static-libgcc -static-libstdc++)
endif()

if(YZ_SANITIZE)
    target_compile_options(yz_options INTERFACE -fsanitize=address,undefined -fno-sanitize-recover=all
                                                -fno-omit-frame-pointer)
    target_link_options(yz_options INTERFACE -fsanitize=address,undefined)
endif()

if(YZ_BUILD_FUZZ)
    target_compile_options(yz_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined)
    target_link_options(yz_options INTERFACE -fsanitize=address,undefined)
endif()

# yz_folder_sources(<out-var> <dir>): the .cpp files directly in <dir> for this platform.
function(yz_folder_sources out dir)
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    if(WIN32)
        list(FILTER sources EXCLUDE REGEX "_posix\\.cpp$")
    else()
        list(FILTER sources EXCLUDE REGEX "_win32\\.cpp$")
    endif()
    set(${out} ${sources} PARENT_SCOPE)
endfunction()

# yz_folder_library(<name> <dir> [DEPS ...]): a static library of one source folder.
function(yz_folder_library name dir)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    yz_folder_sources(sources ${dir})
    add_library(${name} STATIC ${sources})
    target_link_libraries(${name} PUBLIC yz_options ${ARG_DEPS})
endfunction()
