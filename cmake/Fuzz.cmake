# libFuzzer targets of tests/fuzz: one executable per *_fuzz.cpp, built
# with the native build's sanitizers and clang's coverage instrumentation
# (scripts/fuzz.sh configures build/fuzz with KW_FUZZ=ON and clang).
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(WARNING "KW_FUZZ needs clang (libFuzzer); no fuzz targets are built")
  return()
endif()

target_compile_options(kelpwise_core PRIVATE -fsanitize=fuzzer-no-link)

file(GLOB KW_FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
add_custom_target(fuzzers)
foreach(src ${KW_FUZZ_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${KW_WARNINGS} ${KW_SANITIZE} -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE ${KW_SANITIZE} -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE kelpwise_core gtest)
  add_dependencies(fuzzers ${name})
endforeach()
