# kwbench: the registry load generator, the bare walk and deletion floors,
# and the driver that times Kelpwise.exe (see bench/bench.sh). Built on
# request only: `cmake --build <dir> --target kwbench`.
file(GLOB KW_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
add_executable(kwbench EXCLUDE_FROM_ALL ${KW_BENCH_SOURCES})
target_include_directories(kwbench PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(kwbench PRIVATE ${KW_WARNINGS})
target_link_options(kwbench PRIVATE ${KW_WIN_LINK})
target_link_libraries(kwbench PRIVATE kelpwise_core kw_program_driver psapi advapi32 user32)
