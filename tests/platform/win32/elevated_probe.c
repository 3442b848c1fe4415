/* A program that asks for administrator rights in its manifest and does nothing else: what
   the control panel starts the updater as. */
int main(void) {
  return 0;
}
