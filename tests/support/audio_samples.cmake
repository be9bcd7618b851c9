# Test tones for the audio decoders, encoded at build time with Debian's
# encoders: two seconds of 440 Hz as WAV, Ogg Vorbis, MP3 (MPEG-1 and the
# half-rate MPEG-2) and MP2. zv_add_audio_samples(target) makes `target`
# depend on them and tells it where they are through ZV_AUDIO_SAMPLES_DIR;
# without the encoders the tests that need them skip.
function(zv_add_audio_samples target)
  find_program(ZV_SOX sox)
  find_program(ZV_OGGENC oggenc)
  find_program(ZV_LAME lame)
  find_program(ZV_TWOLAME twolame)
  if(NOT ZV_SOX OR NOT ZV_OGGENC OR NOT ZV_LAME OR NOT ZV_TWOLAME)
    message(WARNING "sox, oggenc, lame or twolame missing (scripts/setup.sh installs them): "
                    "the decoder tests on encoded files will skip")
    return()
  endif()
  set(dir ${CMAKE_BINARY_DIR}/audio-samples)
  set(stereo ${dir}/tone440_44100_stereo)
  set(mono ${dir}/tone440_22050_mono)
  add_custom_command(
    OUTPUT ${stereo}.wav ${stereo}.ogg ${stereo}.mp3 ${stereo}.mp2
           ${mono}.wav ${mono}.ogg ${mono}.mp3
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${ZV_SOX} -n -r 44100 -c 2 -b 16 ${stereo}.wav synth 2 sine 440 gain -6
    COMMAND ${ZV_SOX} -n -r 22050 -c 1 -b 16 ${mono}.wav synth 2 sine 440 gain -6
    COMMAND ${ZV_OGGENC} -Q -q 3 -o ${stereo}.ogg ${stereo}.wav
    COMMAND ${ZV_OGGENC} -Q -q 3 -o ${mono}.ogg ${mono}.wav
    # 64 kbit/s: at lower rates the half-rate frames are too small for the
    # LAME tag that makes the length exact.
    COMMAND ${ZV_LAME} --quiet -b 128 ${stereo}.wav ${stereo}.mp3
    COMMAND ${ZV_LAME} --quiet -m m -b 64 ${mono}.wav ${mono}.mp3
    COMMAND ${ZV_TWOLAME} --quiet -b 192 ${stereo}.wav ${stereo}.mp2
    COMMENT "Encoding the decoder test tones"
    VERBATIM)
  add_custom_target(zv_audio_samples DEPENDS ${stereo}.ogg ${stereo}.mp3 ${stereo}.mp2
                                             ${mono}.ogg ${mono}.mp3)
  add_dependencies(${target} zv_audio_samples)
  target_compile_definitions(${target} PRIVATE ZV_AUDIO_SAMPLES_DIR="${dir}")
endfunction()
