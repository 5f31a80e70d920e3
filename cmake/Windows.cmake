# Cross build: Kelpwise.exe, the shipped program folder, and the test
# programs that run under Wine.
enable_language(RC)
set(KW_WIN_LINK -static -static-libgcc -static-libstdc++)
set(KW_WIN_LIBS comctl32 comdlg32 shlwapi shell32 ole32 oleaut32 uuid advapi32 user32 gdi32)

# The window code and the Win32 back ends form one library, so that the
# test programs under Wine link the same objects as the program; only the
# entry point and the resources belong to Kelpwise.exe alone.
set(KW_ENTRY_POINT app/KelpwiseApp.cpp)
list(REMOVE_ITEM KW_WINDOW_SOURCES ${KW_ENTRY_POINT})
add_library(kelpwise_windows STATIC ${KW_WINDOW_SOURCES})
target_include_directories(kelpwise_windows PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(kelpwise_windows PRIVATE ${KW_WARNINGS})
target_link_libraries(kelpwise_windows PUBLIC kelpwise_core ${KW_WIN_LIBS})

# The version for the resource scripts (res/VersionInfo.rc2), from VERSION.
set(KW_GENERATED ${CMAKE_BINARY_DIR}/generated)
file(CONFIGURE OUTPUT ${KW_GENERATED}/KelpwiseVersion.h CONTENT
  "// Made by cmake/Windows.cmake from the file VERSION.\n#define KW_VERSION_TEXT \"${KW_VERSION}\"\n#define KW_VERSION_NUMBERS ${KW_VERSION_NUMBERS}\n")
set(KW_VERSION_DEPENDS ${KW_GENERATED}/KelpwiseVersion.h ${CMAKE_SOURCE_DIR}/res/VersionInfo.rc2)

file(GLOB KW_RESOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/*.rc)
add_executable(Kelpwise WIN32 ${KW_ENTRY_POINT} ${KW_RESOURCES})
target_compile_options(Kelpwise PRIVATE ${KW_WARNINGS})
target_link_options(Kelpwise PRIVATE ${KW_WIN_LINK})
target_link_libraries(Kelpwise PRIVATE kelpwise_windows)
set_target_properties(Kelpwise PROPERTIES OUTPUT_NAME Kelpwise)
target_include_directories(Kelpwise PRIVATE ${KW_GENERATED})
# The icons and bitmaps are included by the resource script.
set_property(SOURCE ${KW_RESOURCES} APPEND PROPERTY OBJECT_DEPENDS
  ${CMAKE_SOURCE_DIR}/res/resource.h
  ${CMAKE_SOURCE_DIR}/res/Kelpwise.manifest ${KW_VERSION_DEPENDS})

# The program folder as it ships: the executable, its settings, the
# language file, the ignore list and an empty backup folder.
set(KW_PROGRAM_DIR ${CMAKE_BINARY_DIR}/Kelpwise)
file(GLOB KW_SHIPPED CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/dist/*)
add_custom_command(TARGET Kelpwise POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KW_PROGRAM_DIR}/backup
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Kelpwise> ${KW_SHIPPED} ${KW_PROGRAM_DIR}
  VERBATIM)

# The companion starter that the Run value names: its check comes from the
# window-free core, its entry point and resources from starter/; it lies
# beside Kelpwise.exe in the program folder.
set(KW_STARTER_RESOURCES ${CMAKE_SOURCE_DIR}/starter/KpwStarter.rc)
add_executable(KpwStarter WIN32 starter/KpwStarterApp.cpp ${KW_STARTER_RESOURCES})
target_compile_options(KpwStarter PRIVATE ${KW_WARNINGS})
target_link_options(KpwStarter PRIVATE ${KW_WIN_LINK})
target_link_libraries(KpwStarter PRIVATE kelpwise_core shell32 advapi32)
target_include_directories(KpwStarter PRIVATE ${KW_GENERATED})
set_property(SOURCE ${KW_STARTER_RESOURCES} APPEND PROPERTY OBJECT_DEPENDS
  ${CMAKE_SOURCE_DIR}/res/resource.h ${CMAKE_SOURCE_DIR}/starter/KpwStarter.manifest
  ${KW_VERSION_DEPENDS})
add_custom_command(TARGET KpwStarter POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KW_PROGRAM_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:KpwStarter> ${KW_PROGRAM_DIR}
  VERBATIM)

# GoogleTest for programs that run under Wine.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# What the end-to-end tests and the benchmark share to drive Kelpwise.exe
# from another process (tests/support/driver/Driver.h).
add_library(kw_program_driver INTERFACE)
target_link_libraries(kw_program_driver INTERFACE user32)

# Each folder below tests/wine is one test program run under Wine.
file(GLOB KW_WINE_SUITES LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/tests/wine/*)
foreach(suite_dir ${KW_WINE_SUITES})
  if(IS_DIRECTORY ${suite_dir})
    get_filename_component(suite ${suite_dir} NAME)
    file(GLOB suite_sources CONFIGURE_DEPENDS ${suite_dir}/*.cpp)
    add_executable(${suite} ${suite_sources})
    target_include_directories(${suite} PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_options(${suite} PRIVATE ${KW_WARNINGS})
    target_link_options(${suite} PRIVATE ${KW_WIN_LINK})
    target_link_libraries(${suite} PRIVATE kelpwise_windows kw_program_driver gtest psapi version)
  endif()
endforeach()
include(cmake/Bench.cmake)
# A changed shipped file reaches the program folder also when Kelpwise.exe
# is not linked again (a copy there that is newer than its source stays).
foreach(shipped ${KW_SHIPPED})
  get_filename_component(shipped_name ${shipped} NAME)
  add_custom_command(OUTPUT ${KW_PROGRAM_DIR}/${shipped_name}
    COMMAND ${CMAKE_COMMAND} -E copy ${shipped} ${KW_PROGRAM_DIR}/${shipped_name}
    DEPENDS ${shipped} VERBATIM)
  list(APPEND KW_SHIPPED_COPIES ${KW_PROGRAM_DIR}/${shipped_name})
endforeach()
add_custom_target(shipped_files ALL DEPENDS ${KW_SHIPPED_COPIES})
include(cmake/Help.cmake)

# The setup program of this build, Kelpwise-setup-32.exe or -64.exe (NSIS).
# It packs a pristine copy of the program folder: the shipped text files, not
# the settings or backups a run from the folder left there. Not part of the
# default build: scripts/build.sh builds it last, when the folder is complete.
math(EXPR KW_BITS "${CMAKE_SIZEOF_VOID_P} * 8")
set(KW_SETUP ${CMAKE_BINARY_DIR}/Kelpwise-setup-${KW_BITS}.exe)
set(KW_STAGE ${CMAKE_BINARY_DIR}/installer/Kelpwise)
find_program(KW_MAKENSIS makensis REQUIRED)  # Debian package nsis (scripts/setup.sh)
add_custom_target(installer
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${KW_STAGE}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${KW_PROGRAM_DIR} ${KW_STAGE}
  COMMAND ${CMAKE_COMMAND} -E copy ${KW_SHIPPED} ${KW_STAGE}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${KW_STAGE}/backup
  COMMAND ${CMAKE_COMMAND} -DSTAGE=${KW_STAGE} -DOUT=${KW_STAGE}.nsh
          -P ${CMAKE_SOURCE_DIR}/cmake/InstallerFiles.cmake
  COMMAND ${KW_MAKENSIS} -V2 -DKW_BITS=${KW_BITS} -DKW_VERSION=${KW_VERSION} -DKW_STAGE=${KW_STAGE} -DKW_FILES=${KW_STAGE}.nsh
          -DKW_ICON=${CMAKE_SOURCE_DIR}/res/icons/kelpwise.ico -DKW_OUTFILE=${KW_SETUP}
          ${CMAKE_SOURCE_DIR}/installer/Kelpwise.nsi
  BYPRODUCTS ${KW_SETUP}
  VERBATIM)
add_dependencies(installer Kelpwise KpwStarter shipped_files help_file)
