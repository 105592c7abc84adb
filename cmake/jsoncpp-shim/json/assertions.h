// Stands in for jsoncpp's <json/assertions.h> while jsoncpp is compiled (see
// Dependencies.cmake). The original formats each failure message through a
// string stream, and every value conversion that can fail carries one, so
// that alone brought the stream and locale library into the program. The
// messages are all plain literals, which need no formatting.
#ifndef JSON_ASSERTIONS_H_INCLUDED
#define JSON_ASSERTIONS_H_INCLUDED

#include <cstdlib>

#include "json/config.h"

#define JSON_ASSERT(condition)                                                 \
  do {                                                                         \
    if (!(condition)) {                                                        \
      Json::throwLogicError("assert json failed");                             \
    }                                                                          \
  } while (0)

#define JSON_FAIL_MESSAGE(message)                                             \
  do {                                                                         \
    Json::throwLogicError(message);                                            \
    abort();                                                                   \
  } while (0)

#define JSON_ASSERT_MESSAGE(condition, message)                                \
  do {                                                                         \
    if (!(condition)) {                                                        \
      JSON_FAIL_MESSAGE(message);                                              \
    }                                                                          \
  } while (0)

#endif // JSON_ASSERTIONS_H_INCLUDED
