# The players' README gives where each deliverable stands and its distances;
# they are read here from the deliverable's own facts (cinema/site.h,
# toytrain/site.h), so the text says what the plug-in does.

# A decimal ("-3613.994") to two places, rounded half away from zero.
function(round_two_places value out)
  string(REGEX MATCH "^(-?)([0-9]+)\\.?([0-9]*)$" ok "${value}")
  if(NOT ok)
    message(FATAL_ERROR "release: '${value}' is not a decimal")
  endif()
  set(sign "${CMAKE_MATCH_1}")
  set(whole "${CMAKE_MATCH_2}")
  string(SUBSTRING "${CMAKE_MATCH_3}000" 0 3 thousandths)
  math(EXPR hundredths "(${whole} * 1000 + ${thousandths} + 5) / 10")
  math(EXPR int_part "${hundredths} / 100")
  math(EXPR frac "${hundredths} % 100")
  if(frac LESS 10)
    set(frac "0${frac}")
  endif()
  set(${out} "${sign}${int_part}.${frac}" PARENT_SCOPE)
endfunction()

# `name{x, y, z}` of a Point in a site header, each to two places, into
# ${prefix}_x, _y and _z.
function(read_site_point header name prefix)
  file(READ ${header} text)
  set(number "(-?[0-9.]+)f")
  if(NOT text MATCHES "Point ${name}{${number}, ${number}, ${number}}")
    message(FATAL_ERROR "${header}: no point '${name}'")
  endif()
  set(coords ${CMAKE_MATCH_1} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3})
  foreach(axis x y z)
    list(POP_FRONT coords value)
    round_two_places(${value} rounded)
    set(${prefix}_${axis} ${rounded} PARENT_SCOPE)
  endforeach()
endfunction()

# A whole number of metres, `name = 90.0f`, into ${out}.
function(read_site_metres header name out)
  file(READ ${header} text)
  if(NOT text MATCHES "float ${name} = ([0-9]+)\\.0f")
    message(FATAL_ERROR "${header}: no whole distance '${name}'")
  endif()
  set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
endfunction()

# A text, `name = "arm_school_int"`, into ${out}.
function(read_site_text header name out)
  file(READ ${header} text)
  if(NOT text MATCHES "${name} = \"([^\"]*)\"")
    message(FATAL_ERROR "${header}: no text '${name}'")
  endif()
  set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
endfunction()

set(cinema_site_h ${PROJECT_SOURCE_DIR}/cinema/site.h)
set(toytrain_site_h ${PROJECT_SOURCE_DIR}/toytrain/site.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${cinema_site_h} ${toytrain_site_h})
read_site_point(${cinema_site_h} post cinema_post)
read_site_metres(${cinema_site_h} open_distance cinema_open)
read_site_metres(${cinema_site_h} close_distance cinema_close)
read_site_text(${cinema_site_h} interior cinema_interior)
read_site_point(${toytrain_site_h} site toytrain_site)
read_site_metres(${toytrain_site_h} radius toytrain_radius)
