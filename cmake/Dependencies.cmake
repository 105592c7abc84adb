# Third-party pieces, all from Debian's packages (see scripts/install-deps).
set(DEPS_DIR ${CMAKE_SOURCE_DIR}/build-deps CACHE PATH "Unpacked dependency sources")

# jsoncpp: built from its Debian source package as a static library, and
# only its value class with the number formatting that the value's own
# conversions use. The program reads and writes JSON text itself
# (base/JsonReader, base/JsonWriter): jsoncpp's reader and writers are built
# on the C++ stream library, which with its locale code was over half of
# setup.exe. Leaving their functions uncalled is not enough on i686, where
# the linker keeps the unwind tables of every object it takes and with them
# every function in it, so they are cut from the sources: the writer file is
# taken up to its first writer class, and the value's toStyledString (which
# nothing of ours calls) no longer writes.
set(JSONCPP_DIR ${DEPS_DIR}/jsoncpp)
set(JSONCPP_LEAN_DIR ${CMAKE_BINARY_DIR}/jsoncpp-lean)
function(write_if_changed path content)
  if(EXISTS ${path})
    file(READ ${path} old)
    if(old STREQUAL content)
      return()
    endif()
  endif()
  file(WRITE ${path} "${content}")
endfunction()
file(READ ${JSONCPP_DIR}/src/lib_json/json_value.cpp value_source)
set(styled_body [=[
  StreamWriterBuilder builder;

  String out = this->hasComment(commentBefore) ? "\n" : "";
  out += Json::writeString(builder, *this);
  out += '\n';

  return out;
}]=])
string(FIND "${value_source}" "${styled_body}" styled_at)
if(styled_at LESS 0)
  message(FATAL_ERROR "jsoncpp's Value::toStyledString is not as expected; check the lean copy")
endif()
string(REPLACE "${styled_body}" "\n  return String();\n}" value_source "${value_source}")
write_if_changed(${JSONCPP_LEAN_DIR}/json_value.cpp "${value_source}")
file(READ ${JSONCPP_DIR}/src/lib_json/json_writer.cpp writer_source)
string(FIND "${writer_source}" "// Class Writer" writers_at)
if(writers_at LESS 0)
  message(FATAL_ERROR "jsoncpp's json_writer.cpp is not as expected; check the lean copy")
endif()
string(SUBSTRING "${writer_source}" 0 ${writers_at} writer_source)
write_if_changed(${JSONCPP_LEAN_DIR}/json_writer.cpp "${writer_source}} // namespace Json\n")
add_library(jsoncpp STATIC
  ${JSONCPP_LEAN_DIR}/json_value.cpp
  ${JSONCPP_LEAN_DIR}/json_writer.cpp)
target_include_directories(jsoncpp SYSTEM PUBLIC ${JSONCPP_DIR}/include)
# The copies include their neighbours in the source folder.
target_include_directories(jsoncpp PRIVATE ${JSONCPP_DIR}/src/lib_json)
target_compile_options(jsoncpp PRIVATE -w $<$<CONFIG:Release>:-Os> -ffunction-sections -fdata-sections)
# jsoncpp's sources include <iostream> without touching the standard
# streams; that include alone puts the initialiser of cin, cout, wcout and
# the rest into the program, and with it the whole file-stream code. The
# header in cmake/jsoncpp-shim stands in for it in this library only. The
# same folder holds a <json/assertions.h> whose failure messages need no
# string stream: every value conversion that can fail carries one.
target_include_directories(jsoncpp BEFORE PRIVATE ${CMAKE_CURRENT_LIST_DIR}/jsoncpp-shim)

# zlib: the mingw static library.
find_library(ZLIB_STATIC NAMES libz.a z REQUIRED)
add_library(zlib_static INTERFACE)
target_link_libraries(zlib_static INTERFACE ${ZLIB_STATIC})

# stb_image: header only.
add_library(stb INTERFACE)
target_include_directories(stb SYSTEM INTERFACE /usr/include/stb)

# GoogleTest from /usr/src/googletest, cross-built.
if(BUILD_TESTING)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # The compilers' win32 thread model has no standard mutex or condition
  # variable; GoogleTest needs them for one class, given here instead.
  target_compile_options(gtest PUBLIC
    "SHELL:-include ${CMAKE_CURRENT_LIST_DIR}/gtest-shim/GtestNotification.h")
endif()
