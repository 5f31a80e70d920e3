# Configure-time checks of the source lists in CMakeLists.txt, so that a
# window file cannot land in the window-free core unnoticed:
# - every listed window or Win32 back-end file exists;
# - no core file includes the dialog layer (framework/), the header of a
#   listed window source, or <windows.h>/<commctrl.h> in a file that never
#   tests _WIN32 (core files that need the system keep it behind #ifdef).
function(kw_check_sources)
  set(missing "")
  foreach(src ${KW_WINDOW_SOURCES} ${KW_WIN32_BACKEND})
    if(NOT EXISTS ${CMAKE_SOURCE_DIR}/${src})
      list(APPEND missing ${src})
    endif()
  endforeach()
  if(missing)
    list(JOIN missing "\n  " text)
    message(FATAL_ERROR "Listed in CMakeLists.txt but not found:\n  ${text}\n"
                        "Update KW_WINDOW_SOURCES or KW_WIN32_BACKEND.")
  endif()

  # The headers that only window code may include.
  set(window_headers "framework/[A-Za-z]+\\.h")
  foreach(src ${KW_WINDOW_SOURCES})
    string(REGEX REPLACE "\\.cpp$" ".h" header ${src})
    if(EXISTS ${CMAKE_SOURCE_DIR}/${header})
      string(REPLACE "." "\\." header ${header})
      string(APPEND window_headers "|${header}")
    endif()
  endforeach()

  set(misfiled "")
  foreach(src ${KW_CORE_SOURCES})
    file(READ ${CMAKE_SOURCE_DIR}/${src} text)
    if(text MATCHES "#include \"(${window_headers})\"")
      list(APPEND misfiled "${src} (includes ${CMAKE_MATCH_1})")
    elseif(text MATCHES "#include <(windows|commctrl)\\.h>")
      set(system_header ${CMAKE_MATCH_1})
      if(NOT text MATCHES "_WIN32")
        list(APPEND misfiled "${src} (includes <${system_header}.h> outside #ifdef _WIN32)")
      endif()
    endif()
  endforeach()
  if(misfiled)
    list(JOIN misfiled "\n  " text)
    message(FATAL_ERROR "Window code among the window-free core sources:\n  ${text}\n"
                        "Add window files to KW_WINDOW_SOURCES (or the Win32 back ends to "
                        "KW_WIN32_BACKEND) in CMakeLists.txt.")
  endif()
endfunction()
