# Runs the nimbrel-render program itself on the small desktop picture beside
# this script: a good run writes its frames, tick list and GIF, and every bad
# input ends with one line of error and a non-zero exit code.
#   cmake -DPROGRAM=... -DDATA=... -DWORK=... -P render_program_test.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

function(fail)
  message(FATAL_ERROR "render_program: ${ARGN}")
endfunction()

# A Melt run that restores on every tick (RecoverTime 0), three frames.
execute_process(
  COMMAND ${PROGRAM} --input ${DATA}/desk-16x10.png --out ${WORK}/out --ini ${DATA}/settings.ini
          --frames 3 --gif ${WORK}/run.gif
  RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT code EQUAL 0)
  fail("a good run failed with ${code}: ${err}")
endif()
if(NOT out STREQUAL "melt\n")
  fail("the chosen effect should be printed as 'melt', not '${out}'")
endif()
foreach(n 0000 0001 0002 0003)
  if(NOT EXISTS ${WORK}/out/frame-${n}.png)
    fail("frame-${n}.png is missing")
  endif()
endforeach()
if(EXISTS ${WORK}/out/frame-0004.png)
  fail("three drawing ticks wrote a fourth frame")
endif()
file(STRINGS ${WORK}/out/ticks.csv rows)
set(expected "tick,time_ms,interval_ms,effect,restored;0,50,50,melt,0;1,100,50,melt,1;2,150,50,melt,1;3,200,50,melt,1")
if(NOT rows STREQUAL expected)
  fail("ticks.csv holds '${rows}', expected '${expected}'")
endif()
file(READ ${WORK}/run.gif signature LIMIT 6 HEX)
if(NOT signature STREQUAL "474946383961")  # GIF89a
  fail("run.gif is not a GIF89a file")
endif()

# Bad input: the program must refuse it with one line on standard error.
function(expect_refused)
  execute_process(COMMAND ${PROGRAM} ${ARGN} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(REPLACE ";" " " shown "${ARGN}")
  if(code EQUAL 0)
    fail("'${shown}' succeeded")
  endif()
  if(NOT err MATCHES "^nimbrel-render: [^\n]+\n$")
    fail("'${shown}' should print one error line, printed '${err}'")
  endif()
endfunction()

file(WRITE ${WORK}/not-a-picture.png "text")
set(picture --input ${DATA}/desk-16x10.png --out ${WORK}/bad)
expect_refused(--input ${WORK}/missing.png --out ${WORK}/bad)
expect_refused(--input ${WORK}/not-a-picture.png --out ${WORK}/bad)
expect_refused(${picture} --effects wave,ripple)
expect_refused(${picture} --frame-size 16by10)
expect_refused(${picture} --frame-size 17x10)
expect_refused(${picture} --ini ${WORK}/missing.ini)
expect_refused(${picture} --seed -3)
expect_refused(--out ${WORK}/bad)
