/* The desktop question's baseline: a minimal C program that shows the same question in GTK 3's
 * own message dialog and waits for the answer. */
#include <gtk/gtk.h>

int main(int argc, char** argv) {
  gtk_init(&argc, &argv);
  GtkWidget* dialog = gtk_message_dialog_new(NULL, 0, GTK_MESSAGE_INFO, GTK_BUTTONS_YES_NO, "Confirm fix");
  gtk_window_set_title(GTK_WINDOW(dialog), "Fix the quorl database now ?");
  gtk_dialog_run(GTK_DIALOG(dialog));
  return 0;
}
