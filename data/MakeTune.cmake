# cmake -DOUTPUT=<mp3> -DWORK_DIR=<folder> -DSOX=<sox> -DLAME=<lame> -P MakeTune.cmake
# The sample tune of the sample slideshows: a few seconds of a buzzing, bee-like run of
# plucked notes, 44,100 Hz stereo, made by sox and encoded by lame (plain stereo, 128 kbit/s).
cmake_minimum_required(VERSION 3.25)

foreach(var OUTPUT WORK_DIR SOX LAME)
  if(NOT ${var})
    message(FATAL_ERROR "MakeTune.cmake: ${var} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

# Chromatic runs up and down, each note a sixteenth at about 160 beats a minute. Notes are
# semitones from A4 (440 Hz): 0 is A4, 7 is E5, -5 is E4.
set(run1 7 6 5 4 5 4 3 2 3 4 5 4 3 2 1 0)
set(run2 1 0 -1 -2 -1 -2 -3 -4 -5 -4 -3 -2 -1 0 1 2)
set(run3 3 4 5 6 7 6 5 4 5 6 7 8 9 10 11 12)
set(run4 12 11 10 9 10 9 8 7 6 5 4 3 2 1 0 -5)
set(notes ${run1} ${run2} ${run1} ${run3} ${run4})

set(index 1000)
set(parts)
foreach(note IN LISTS notes)
  math(EXPR index "${index} + 1")
  set(part ${WORK_DIR}/n${index}.wav)
  execute_process(
    COMMAND ${SOX} -n -r 44100 -c 2 -b 16 ${part} synth 0.094 pluck %${note} fade 0 0.094 0.03 gain -6
    RESULT_VARIABLE result ERROR_VARIABLE error)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "sox: ${error}")
  endif()
  list(APPEND parts ${part})
endforeach()

# The notes one after the other, a soft low drone under them, then fade in and out.
set(melody ${WORK_DIR}/melody.wav)
set(tune ${WORK_DIR}/tune.wav)
execute_process(COMMAND ${SOX} ${parts} ${melody} RESULT_VARIABLE result ERROR_VARIABLE error)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "sox: ${error}")
endif()
execute_process(COMMAND ${SOX} --i -D ${melody} OUTPUT_VARIABLE seconds OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(
  COMMAND ${SOX} -m ${melody}
          "|${SOX} -n -r 44100 -c 2 -b 16 -p synth ${seconds} sine A2 sine E3 gain -24"
          ${tune} fade 0.05 ${seconds} 0.6 norm -1
  RESULT_VARIABLE result ERROR_VARIABLE error)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "sox: ${error}")
endif()

# Written beside the target and renamed over it, so an interrupted build leaves no half file.
execute_process(
  COMMAND ${LAME} --quiet -m s -b 128 --resample 44.1 --tt "Bumble Bee" --ta "Tessmark" ${tune} ${OUTPUT}.part
  RESULT_VARIABLE result ERROR_VARIABLE error)
if(NOT result EQUAL 0)
  file(REMOVE ${OUTPUT}.part)
  message(FATAL_ERROR "lame: ${error}")
endif()
file(RENAME ${OUTPUT}.part ${OUTPUT})
file(REMOVE_RECURSE ${WORK_DIR})
