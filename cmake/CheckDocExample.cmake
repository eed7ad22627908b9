# Checks that the first ```cpp block of a Markdown file shows a source file's
# text exactly, so the program a document shows is the one that is built.
#   cmake -DMARKDOWN=docs/library.md -DSOURCE=examples/library_tour.cpp -P cmake/CheckDocExample.cmake
foreach(input MARKDOWN SOURCE)
  if(NOT EXISTS "${${input}}")
    message(FATAL_ERROR "${input} file not found: '${${input}}'")
  endif()
endforeach()
file(READ "${MARKDOWN}" markdown)
file(READ "${SOURCE}" source)

set(fence "```cpp\n")
string(FIND "${markdown}" "${fence}" start)
if(start EQUAL -1)
  message(FATAL_ERROR "${MARKDOWN} has no ```cpp block")
endif()
string(LENGTH "${fence}" fence_length)
math(EXPR start "${start} + ${fence_length}")
string(SUBSTRING "${markdown}" ${start} -1 rest)
# The block ends at the first line that is only the closing fence.
string(FIND "${rest}" "\n```\n" end)
if(end EQUAL -1)
  message(FATAL_ERROR "${MARKDOWN}: the first ```cpp block is not closed")
endif()
math(EXPR end "${end} + 1")
string(SUBSTRING "${rest}" 0 ${end} block)

if(NOT block STREQUAL source)
  # One unwrapped line first, so that a test can read it whatever the paths.
  message(NOTICE "${MARKDOWN}: the first ```cpp block differs from ${SOURCE}")
  message(FATAL_ERROR "Copy the file's text into the block.")
endif()
message(STATUS "The first ```cpp block of ${MARKDOWN} is ${SOURCE}")
