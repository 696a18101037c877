#pragma once
// The theater's facts, written once: where it stands, the distances at which
// its post opens and closes, and what it places, says, offers and shows. The
// plug-in reads them, and so does everything that describes or checks it
// (the stand-in's description, play, the soak, the benches, the tests); the
// header needs nothing, so each of them can include it.

namespace cinema_site {

struct Point {
  float x, y, z;
};

inline constexpr Point post{-3613.994f, -2642.941f, -12.496f};      // the ticket taker's post
inline constexpr Point seat{-3608.6892f, -2647.932f, -11.700739f};  // the player's chair
inline constexpr Point screen{-3602.7405f, -2650.9917f, -10.691999f};

// From the post: nothing is made or removed between the two, so a player at
// the edge does not make it flicker.
inline constexpr float open_distance = 90.0f;    // spawn below; also gates the screen steps
inline constexpr float close_distance = 110.0f;  // despawn above

inline constexpr const char* taker_model = "s_m_m_blwdealer_01";
inline constexpr const char* money_model = "s_inv_moneyclip01x";
inline constexpr const char* chair_model = "sh_church_chair";
inline constexpr const char* screen_model = "script_rt_arm_screen";
inline constexpr const char* audience_models[] = {
    "a_m_m_armtownfolk_01", "a_m_m_armtownfolk_02", "a_f_m_tumtownfolk_01"};
inline constexpr const char* arthur_model = "PLAYER_ZERO";
inline constexpr const char* john_model = "PLAYER_THREE";

inline constexpr const char* welcome_line = "WELCOME";
inline constexpr const char* ticket_line = "TICKET_PLEASE";
inline constexpr const char* whats_playing_line = "WHATS_PLAYING";
inline constexpr const char* enjoy_line = "ENJOY_THE_SHOW";
inline constexpr const char* farewell_line = "FAREWELL_DURING_SHOW";

// The taker's voice is drawn from these at set-up and at each spawn.
inline constexpr const char* taker_voices[] = {"JK_TICKET_TAKER", "JS_TOWNDEALER", "FH_TOWNDEALER"};
inline constexpr const char* arthur_voice = "ARTHUR";
inline constexpr const char* john_voice = "JOHN_PLAYER";

// The prompts as the player reads them; the buy and the info label are the
// game's texts for the price and for SHOW_GET_INFO.
inline constexpr const char* buy_label = "Buy Ticket ($1.00)";
inline constexpr const char* info_label = "What's Playing?";
inline constexpr const char* sit_label = "Sit";
inline constexpr const char* leave_label = "Leave";
inline constexpr const char* spent_notification = "Money spent: $1.00";

inline constexpr const char* unavailable_modifier = "BLIP_MODIFIER_SHOP_UNAVAILABLE";
inline constexpr const char* locked_modifier = "BLIP_MODIFIER_LOCKED";
inline constexpr const char* render_target = "bla_theater";
inline constexpr const char* interior = "arm_school_int";

// The two films: the line the taker names it with and the TV's playlist.
// One is drawn for the run.
struct Film {
  const char* line;
  const char* playlist;
};
inline constexpr Film films[] = {{"MOVIE_MODERN_MEDICINE", "PL_TOON_MODERN_MEDICINE"},
                                 {"MOVIE_BEAUMONT_THE_BURLY", "PL_TOON_WORLDS_STRONGEST_MAN"}};

}  // namespace cinema_site
