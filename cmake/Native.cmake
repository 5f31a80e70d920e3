# Native build: the window-free code and its unit tests, with sanitizers.
set(KW_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
target_compile_options(kelpwise_core PRIVATE ${KW_SANITIZE})

set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_executable(unit_tests ${KW_UNIT_TESTS})
target_include_directories(unit_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(unit_tests PRIVATE ${KW_WARNINGS} ${KW_SANITIZE})
target_link_options(unit_tests PRIVATE ${KW_SANITIZE})
target_link_libraries(unit_tests PRIVATE kelpwise_core gtest_main)
target_compile_definitions(unit_tests PRIVATE KW_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
