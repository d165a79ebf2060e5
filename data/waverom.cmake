# The wave ROM: synthesized at build time by tools/wavegen and compiled into
# k1data as k1data::waverom.
set(WAVEROM_FILE ${CMAKE_CURRENT_BINARY_DIR}/waverom.wav)
add_custom_command(OUTPUT ${WAVEROM_FILE}
  COMMAND wavegen ${WAVEROM_FILE}
  DEPENDS wavegen
  COMMENT "Synthesizing the wave ROM"
  VERBATIM)
darvello_embed(k1data waverom ${WAVEROM_FILE})
