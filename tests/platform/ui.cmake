# tests for the platform's ui services
