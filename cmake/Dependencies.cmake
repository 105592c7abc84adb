# Third-party pieces, all from Debian's packages (see scripts/install-deps).
set(DEPS_DIR ${CMAKE_SOURCE_DIR}/build-deps CACHE PATH "Unpacked dependency sources")

# jsoncpp: built from its Debian source package as a static library.
set(JSONCPP_DIR ${DEPS_DIR}/jsoncpp)
add_library(jsoncpp STATIC
  ${JSONCPP_DIR}/src/lib_json/json_reader.cpp
  ${JSONCPP_DIR}/src/lib_json/json_value.cpp
  ${JSONCPP_DIR}/src/lib_json/json_writer.cpp)
target_include_directories(jsoncpp SYSTEM PUBLIC ${JSONCPP_DIR}/include)
target_compile_options(jsoncpp PRIVATE -w $<$<CONFIG:Release>:-Os> -ffunction-sections -fdata-sections)
# jsoncpp's sources include <iostream> without touching the standard
# streams; that include alone puts the initialiser of cin, cout, wcout and
# the rest into the program, and with it the whole file-stream code. The
# header in cmake/jsoncpp-shim stands in for it in this library only. The
# same folder holds a <json/assertions.h> whose failure messages need no
# string stream. With both, and the program's own reader and writer
# (base/JsonReader, base/JsonWriter) in place of jsoncpp's stream-based
# ones, nothing in setup.exe uses the C++ stream and locale library; the
# tests still link jsoncpp's reader to compare the two.
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
endif()
