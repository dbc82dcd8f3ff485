# trapezola-cli periodic and continue on known inputs. The two-bounce orbit of
# b = 0.5, R8/R = 2 between the midpoints of the top and bottom arcs has trace
# 4 (1 - L/r)(1 - L/R) - 2 = 21.8333..., L = 2.92625... (the core tests check
# the closed form to 1e-12).
cli_case(periodic_top_bottom_orbit ARGS periodic --b 0.5 --rr 2 --period 2 --near 0.6,80
  STDOUT_MATCH "^{\n  \"converged\": true,\n  \"period\": 2,\n  \"rotation\": \"1/2\",\n  \"points\": \\[\\[0\\.559606889549917[0-9]*, 1\\.57079632679489[0-9]*\\], \\[4\\.56829456697327[0-9]*, 1\\.57079632679489[0-9]*\\]\\],\n  \"length\": 5\\.852508167602[0-9]*,\n  \"trace\": 21\\.8333333333333[0-9]*,\n  \"class\": \"hiperbolic\",\n  \"m11\": [-0-9.e]+,\n  \"m22\": [-0-9.e]+,\n  \"residual\": [0-9.e-]+\n}\n$")
# The first point is the orbit's point nearest the guess.
cli_case(periodic_first_point_nearest_the_guess ARGS periodic --b 0.5 --rr 2 --period 2 --near 4.5,100
  STDOUT_MATCH "\"points\": \\[\\[4\\.56829456697327[0-9]*, ")
# A circle's triangle: parabolic, with the trace of the 3-fold map +2 (the
# analysis shows -2 for it).
cli_case(periodic_circle_triangle ARGS periodic --b 1 --rr 1 --period 3 --near 0.7,59
  STDOUT_MATCH "\"rotation\": \"1/3\",.*\"length\": 7\\.348469228349[0-9]*,\n  \"trace\": 2\\.0000000000000[0-9]*,\n  \"class\": \"parabolic\"")
cli_case(periodic_guess_that_makes_no_bounces EXIT 1 STDERR_LINES 1
  ARGS periodic --b 0.5 --rr 2 --period 7 --near 0.7,1e-6
  STDOUT_MATCH "\"converged\": false,\n  \"period\": 7,\n  \"rotation\": null,\n  \"points\": null,.*\"residual\": null\n}\n$"
  STDERR_MATCH "makes no 7 bounces")
cli_case(periodic_catalogue_of_the_half_table ARGS periodic --b 0.5 --rr 2 --catalogue --max-period 3
  STDOUT_MATCH "^m,n,kind,s,phi,length,trace,class,residual\n1,2,max,0\\.559606889549917[0-9]*,1\\.5707963267948966,5\\.852508167602[0-9]*,21\\.8333333333333[0-9]*,hiperbolic,[0-9.e-]+\n1,2,minimax,2\\.68501605122897[0-9]*,[^\n]*,elliptic,[^\n]*\n1,3,max,[^\n]*\n1,3,minimax,[^\n]*\n$")
cli_case(periodic_help_explains_every_key ARGS periodic --help
  STDOUT_MATCH "converged .*period .*rotation .*points .*length .*trace .*class .*m11, m22 .*residual .*m, n .*kind .*s, phi .*length .*trace .*class .*residual ")
cli_case(periodic_refuses_period_one EXIT 2 STDOUT_EMPTY STDERR_LINES 1
  ARGS periodic --b 0.5 --rr 2 --period 1 --near 0.7,60 STDERR_MATCH "--period '1' is below 2")
cli_case(periodic_refuses_near_text EXIT 2 STDOUT_EMPTY STDERR_LINES 1
  ARGS periodic --b 0.5 --rr 2 --period 2 --near 0.7 STDERR_MATCH "--near '0\\.7' is not S,DEG")
cli_case(periodic_refuses_near_along_the_tangent EXIT 2 STDOUT_EMPTY STDERR_LINES 1
  ARGS periodic --b 0.5 --rr 2 --period 2 --near 0.7,180 STDERR_MATCH "--near '0\\.7,180' has DEG outside \\(0, 180\\)")
cli_case(periodic_refuses_catalogue_with_a_guess EXIT 2 STDOUT_EMPTY STDERR_LINES 1
  ARGS periodic --b 0.5 --rr 2 --catalogue --max-period 3 --near 0.7,60 STDERR_MATCH "--catalogue takes --max-period")
cli_case(periodic_refuses_long_catalogue EXIT 2 STDOUT_EMPTY STDERR_LINES 1
  ARGS periodic --b 0.5 --rr 2 --catalogue --max-period 41 STDERR_MATCH "--max-period '41' is above 40")
cli_case(periodic_refuses_max_period_without_catalogue EXIT 2 STDOUT_EMPTY STDERR_LINES 1
  ARGS periodic --b 0.5 --rr 2 --max-period 4 STDERR_MATCH "--max-period goes with --catalogue")

# The elliptic 1/5 orbit of b = 0.5, R8/R = 2 doubles its period at
# R8/R = 1.9227427... as R8/R falls.
cli_case(continue_finds_a_period_doubling
  ARGS continue --b 0.5 --rr 2:1.8:11 --period 5 --near 0.378745,45.755
  STDOUT_MATCH "^{\n  \"steps\": \\[\n    {\"parameter\": 2, \"s\": 0\\.37874539879551[0-9]*, \"phi\": [^}]*, \"class\": \"elliptic\"},\n.*    {\"parameter\": 1\\.8, [^}]*\"class\": \"hiperbolic\"}\n  \\],\n  \"bifurcations\": \\[\n    {\"parameter\": 1\\.92274272[0-9]*, \"trace\": -2, \"kind\": \"period doubling\"}\n  \\],\n  \"stopped\": null\n}\n$")
cli_case(continue_stops_at_a_corner ARGS continue --b 0.5 --rr 3:5:11 --period 2 --near 6.9,90
  STDOUT_MATCH "\"bifurcations\": \\[\\],\n  \"stopped\": \"a point of the orbit reaches a corner at R8/R = 4\\.0000000[0-9]*\"\n}\n$")
cli_case(continue_start_that_is_no_orbit EXIT 1 STDERR_LINES 1
  ARGS continue --b 0.5:0.6:3 --rr 2 --period 7 --near 0.7,1e-6
  STDOUT_MATCH "\"steps\": \\[\\],\n  \"bifurcations\": \\[\\],\n  \"stopped\": \"Newton does not converge from the start guess at b = 0\\.5\""
  STDERR_MATCH "start guess")
cli_case(continue_help_explains_every_key ARGS continue --help
  STDOUT_MATCH "steps .*parameter .*s, phi .*length .*trace .*class .*bifurcations .*parameter .*trace .*kind .*stopped .*--png FILE")
cli_case(continue_refuses_two_ranges EXIT 2 STDOUT_EMPTY STDERR_LINES 1
  ARGS continue --b 0.4:0.5:3 --rr 1:2:3 --period 2 --near 0.7,60 STDERR_MATCH "give one of --b and --rr as FROM:TO:COUNT")
cli_case(continue_refuses_no_range EXIT 2 STDOUT_EMPTY STDERR_LINES 1
  ARGS continue --b 0.4 --rr 2 --period 2 --near 0.7,60 STDERR_MATCH "give one of --b and --rr")
cli_case(continue_refuses_one_step EXIT 2 STDOUT_EMPTY STDERR_LINES 1
  ARGS continue --b 0.4:0.5:1 --rr 2 --period 2 --near 0.7,60 STDERR_MATCH "--b '0\\.4:0\\.5:1' has a COUNT outside 2 to 100000")
cli_case(continue_refuses_empty_range EXIT 2 STDOUT_EMPTY STDERR_LINES 1
  ARGS continue --b 0.4:0.4:5 --rr 2 --period 2 --near 0.7,60 STDERR_MATCH "has FROM equal to TO")
cli_case(continue_refuses_b_beyond_one EXIT 2 STDOUT_EMPTY STDERR_LINES 1
  ARGS continue --b 0.5:1.5:5 --rr 2 --period 2 --near 0.7,60 STDERR_MATCH "--b '0\\.5:1\\.5:5' reaches 1\\.5, which is outside \\[0\\.0001, 1\\]")
cli_case(continue_refuses_range_text EXIT 2 STDOUT_EMPTY STDERR_LINES 1
  ARGS continue --b 0.5 --rr 2:x:5 --period 2 --near 0.7,60 STDERR_MATCH "--rr '2:x:5' is not FROM:TO:COUNT")
if(TRAPEZOLA_BUILD_UI)
  cli_case(continue_refuses_picture_type EXIT 2 STDOUT_EMPTY STDERR_LINES 1
    ARGS continue --b 0.5 --rr 2:1.8:3 --period 2 --near 0.7,60 --png d.svg STDERR_MATCH "--png 'd\\.svg' does not end in \\.png")
  # The stability diagram is a PNG of 960 x 640 pixels.
  add_test(NAME cli.continue_draws_the_stability_diagram
    COMMAND bash -c "rm -f \"$1\" && \"$0\" continue --b 0.5 --rr 2:1.8:11 --period 5 --near 0.378745,45.755 --png \"$1\" >/dev/null && [ \"$(head -c 8 \"$1\" | od -An -tx1 | tr -d ' \\n')\" = 89504e470d0a1a0a ] && [ \"$(od -An -tu1 -j16 -N8 \"$1\" | tr -s ' ')\" = ' 0 0 3 192 0 0 2 128' ]"
      $<TARGET_FILE:trapezola-cli> ${CMAKE_CURRENT_BINARY_DIR}/stability.png)
endif()
if(EXISTS /dev/full)
  cli_case(periodic_to_a_full_disk EXIT 1 STDOUT_FILE /dev/full STDERR_LINES 1
    ARGS periodic --b 0.5 --rr 2 --catalogue --max-period 4 STDERR_MATCH "could not write the output")
endif()
