# Import libraries that load their DLL at the first call rather than when
# the process starts. The Windows loader resolves ordinary imports before
# the program's first line runs, searching the executable's own folder
# first; a DLL that is not one of the system's known DLLs could then be
# picked up from beside setup.exe. Delay-loaded, it is loaded by
# LoadLibrary after start-up has restricted the search to the system folder.
#   add_delay_import(name dll) makes the link item delay_<name>.
set(MINGW_TRIPLE ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
find_program(MINGW_NM NAMES ${MINGW_TRIPLE}-nm REQUIRED)
find_program(MINGW_DLLTOOL NAMES ${MINGW_TRIPLE}-dlltool REQUIRED)
# 32-bit import libraries decorate a symbol as __imp__Name@n, 64-bit ones
# as __imp_Name: the prefix to strip differs by one underscore.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(IMPORT_PREFIX "__imp_")
else()
  set(IMPORT_PREFIX "__imp__")
endif()
set(DELAY_IMPORT_DIR ${CMAKE_BINARY_DIR}/delay-imports)

function(add_delay_import name dll)
  find_library(DELAY_SOURCE_${name} NAMES lib${name}.a REQUIRED)
  # The exports, decorated as the compiler calls them, from the ordinary
  # import library of the same DLL.
  execute_process(COMMAND ${MINGW_NM} ${DELAY_SOURCE_${name}}
    OUTPUT_VARIABLE symbols RESULT_VARIABLE listed)
  if(NOT listed EQUAL 0)
    message(FATAL_ERROR "cannot list ${DELAY_SOURCE_${name}}")
  endif()
  string(REGEX MATCHALL " I ${IMPORT_PREFIX}[^\n]+" imports "${symbols}")
  set(def "LIBRARY ${dll}\nEXPORTS\n")
  foreach(entry ${imports})
    string(REGEX REPLACE "^ I ${IMPORT_PREFIX}" "" symbol "${entry}")
    string(APPEND def "  ${symbol}\n")
  endforeach()
  set(lib ${DELAY_IMPORT_DIR}/lib${name}_delay.a)
  file(WRITE ${DELAY_IMPORT_DIR}/${name}.def.new "${def}")
  file(COPY_FILE ${DELAY_IMPORT_DIR}/${name}.def.new ${DELAY_IMPORT_DIR}/${name}.def ONLY_IF_DIFFERENT)
  if(NOT EXISTS ${lib} OR ${DELAY_IMPORT_DIR}/${name}.def IS_NEWER_THAN ${lib})
    # --kill-at: the DLL exports the names without their "@n".
    execute_process(COMMAND ${MINGW_DLLTOOL} --kill-at -d ${DELAY_IMPORT_DIR}/${name}.def -y ${lib}
      RESULT_VARIABLE made)
    if(NOT made EQUAL 0)
      message(FATAL_ERROR "cannot make the delay-load library of ${dll}")
    endif()
  endif()
  add_library(delay_${name} INTERFACE)
  target_link_libraries(delay_${name} INTERFACE ${lib})
endfunction()

add_delay_import(winhttp winhttp.dll)
add_delay_import(iphlpapi iphlpapi.dll)
add_delay_import(gdiplus gdiplus.dll)
add_delay_import(msimg32 msimg32.dll)
# Needed only once an installer is downloaded; loaded at start they cost
# every launch their load time before the first window.
add_delay_import(urlmon urlmon.dll)
add_delay_import(wininet wininet.dll)
add_delay_import(bcrypt bcrypt.dll)
