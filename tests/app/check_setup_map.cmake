# Fails when setup.exe's link map shows a library piece that the program
# must not carry: the C++ stream and locale code, the demangler, jsoncpp's
# stream-based reader, the standard error classes with the reference-counted
# string behind them, the winpthreads library, or the C99 wide printf. Each
# came in once through a single call and cost setup.exe hundreds of
# kilobytes together.
#   cmake -DMAP=setup.map -P check_setup_map.cmake
file(READ "${MAP}" map)
string(FIND "${map}" "Linker script and memory map" end)
if(end LESS 0)
  message(FATAL_ERROR "${MAP} is not a linker map")
endif()
string(SUBSTRING "${map}" 0 ${end} members)
set(found)
foreach(piece locale-inst wlocale-inst sstream-inst istream-inst ostream-inst ios_init
              cp-demangle json_reader cow-string-inst cow-stdexcept functexcept
              libwinpthread_la-thread mingw_pformatw)
  string(REGEX MATCH "[(-]${piece}\\.[a-z.]*o[bj]*\\)" hit "${members}")
  if(hit)
    list(APPEND found ${hit})
  endif()
endforeach()
if(found)
  message(FATAL_ERROR "setup.exe carries ${found}")
endif()
message(STATUS "setup.exe carries none of the pieces it must not")
