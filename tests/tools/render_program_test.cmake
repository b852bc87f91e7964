# Runs the nimbrel-render program itself on the small desktop picture beside
# this script: a good run writes its frames, tick list and GIF, and bad input
# ends with one line of error and a non-zero exit code.
#   cmake -DPROGRAM=... -DDATA=... -DWORK=... -P render_program_test.cmake
file(REMOVE_RECURSE ${WORK})

# A Melt run that restores on every tick (RecoverTime 0), three frames.
execute_process(
  COMMAND ${PROGRAM} --input ${DATA}/desk-16x10.png --out ${WORK}/out --ini ${DATA}/settings.ini
          --frames 3 --gif ${WORK}/run.gif
  RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "render_program: a good run failed with ${code}: ${err}")
endif()
file(STRINGS ${WORK}/out/ticks.csv rows)
set(expected "tick,time_ms,interval_ms,effect,restored,rects,changed_pixels;0,50,50,melt,0,0,0;1,100,50,melt,1,1,160;2,150,50,melt,1,1,160;3,200,50,melt,1,1,160")
file(GLOB frames RELATIVE ${WORK}/out ${WORK}/out/*.png)
file(READ ${WORK}/run.gif signature LIMIT 6 HEX)
if(NOT out STREQUAL "melt\n" OR NOT rows STREQUAL expected
   OR NOT frames STREQUAL "frame-0000.png;frame-0001.png;frame-0002.png;frame-0003.png"
   OR NOT signature STREQUAL "474946383961")  # GIF89a
  message(FATAL_ERROR "render_program: the good run printed '${out}' and wrote ticks '${rows}', "
                      "frames '${frames}', GIF signature '${signature}'")
endif()

execute_process(COMMAND ${PROGRAM} --input ${DATA}/desk-16x10.png --out ${WORK}/bad --seed -3
                RESULT_VARIABLE code ERROR_VARIABLE err)
if(code EQUAL 0 OR NOT err MATCHES "^nimbrel-render: [^\n]+\n$")
  message(FATAL_ERROR "render_program: a bad seed gave ${code} and '${err}'")
endif()
